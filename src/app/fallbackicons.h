#pragma once

#include <QIcon>

namespace corvane {

// Icons of our own for the toolbar's buttons where the desktop's theme has none, drawn at whatever
// size the toolbar asks for, so that each button sits like its neighbours.

// Export PDF: a sheet with a folded corner, a red band marked PDF and an arrow out of it.
QIcon pdfExportIcon();
// Undo: an arrow that turns back to the left; Redo: the same, turning to the right.
QIcon undoIcon(bool redo);

} // namespace corvane
