#pragma once

// How the web engine renders report pages, the same in the preview, the print preview and PDFs.
//
// Pages are shown as written, with the settings that keep them inert (no script of their own, no
// resource from the network) and a sans-serif face where their own font is missing. One rule is
// added in rendering, never in the page files, which other programs read as they are: a long
// unbroken operator text (a row of "=" in the notes, a path in the description) wraps within its
// cell instead of widening the page, which would push the diagrams and the table's last columns
// off the printed sheet. The rule is put into each document by a script of the program's own,
// which runs apart from the page's world.

class QWebEnginePage;

namespace corvane {

void prepareReportPage(QWebEnginePage &page);

} // namespace corvane
