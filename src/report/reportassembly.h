#pragma once

// The joined print document: the report pages of every section in use, one after the other.
//
// Printing, the print preview, Export PDF and corvane-report all start here. Every section in use
// (its first flange reads greater than 0), in order 1 to 5, is run so that its page wb<N>.htm is
// computed afresh; the pages as the runs wrote them are then copied byte for byte into wball.htm
// in the temp folder, a page separator between two pages and nothing after the last one. With no
// section in use the document is empty. A browser prints each separator as a page break, so
// every section starts a page of its own.
//
// Who runs a section is the caller's: corvane-report runs it directly (editing/sectionrunner.h),
// the main window shows it, as printing walks the sections, and the editing logic runs it then.

#include "editing/sectionrunner.h"
#include "ground/job.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace corvane {

// The fixed text between two pages.
QByteArray pageSeparator();

// The pages, each followed by the separator except the last.
QByteArray joinPages(const QList<QByteArray> &pages);

// wball.htm in the temp folder.
QString joinedDocumentPath(const QString &tempFolder);

struct ReportAssembly
{
    QList<int> sections;                 // the sections joined, in order
    QList<BendCalculation> calculations; // theirs, in the same order
    QString path;                        // the joined document
    QString error;                       // empty when every page was computed, written and joined
    bool ok() const { return error.isEmpty(); }
};

// Runs each section in use of the job through runSection (its number in, its run out), joins
// their pages and writes the document into tempFolder. At the first run that could not write its
// files, or when the document cannot be written, the error says which file and why; an older
// document then stays as it was.
ReportAssembly assembleReport(const Job &job, const QString &tempFolder,
                              const std::function<SectionRun(int)> &runSection);

} // namespace corvane
