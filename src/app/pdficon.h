#pragma once

#include <QIcon>

namespace corvane {

// The icon of Export PDF where the desktop's theme has none: a sheet with a folded corner, a red
// band marked PDF and an arrow out of it, drawn at whatever size the toolbar asks for, so that the
// button sits like its neighbours.
QIcon pdfExportIcon();

} // namespace corvane
