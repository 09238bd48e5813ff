#pragma once

// The joined print document: the report pages of every section in use, one after the other.
//
// Printing, the print preview, Export PDF and corvane-report all start here. Every section in use
// (its first flange reads greater than 0), in order 1 to 5, is shown so that its page wb<N>.htm is
// computed afresh; the pages are then copied byte for byte into wball.htm in the temp folder, a
// page separator between two pages and nothing after the last one. With no section in use the
// document is empty. A browser prints each separator as a page break, so every section starts a
// page of its own.

#include "shell/ground/job.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

namespace corvane {

class JobEditor;

// The fixed text between two pages.
QByteArray pageSeparator();

// The pages, each followed by the separator except the last.
QByteArray joinPages(const QList<QByteArray> &pages);

// wball.htm in the temp folder.
QString joinedDocumentPath(const QString &tempFolder);

struct ReportAssembly
{
    QList<int> sections; // the sections joined, in order
    QString path;        // the joined document
    QString error;       // empty when every page was computed, read and joined
    bool ok() const { return error.isEmpty(); }
};

// Brings each section in use up to date through showSection (which computes that section's page
// and returns a write error, or the empty text), joins their pages and writes the document. On an
// error the document is not written and an older one stays as it was.
ReportAssembly assembleReport(const Job &job, const QString &tempFolder,
                              const std::function<QString(int)> &showSection);

// The same through the editing model; afterwards the section that was shown before is shown
// again. When none was, the last section printed stays shown.
ReportAssembly assembleReport(JobEditor &editor);

} // namespace corvane
