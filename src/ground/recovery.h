#pragma once

// The recovery copy of the desktop program's job: written behind every change, so that a crash, a
// kill or a power cut loses no more than the last moments of typing, and found again at the next
// start.
//
// The recovery folder holds "job.bm", the job in the job file format, and "job.path", the path of
// the job file it belongs to (UTF-8, empty for a job never saved); each is replaced whole, so that
// a reader finds the old copy or the new one. A copy that the operator does not take back at once
// is kept as "kept-<date>-<time>.bm" beside them, with its ".path"; nothing here deletes a kept
// copy. Earlier versions saved a job at their timed end as "recovered-<date>-<time>.bm" in the
// temp folder; those still found are offered as well.

#include "ground/jobfile.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace corvane {

// A copy found at start.
struct RecoveredJob
{
    QString file;      // the copy, a job file
    QString original;  // the job file it belongs to; empty for a job never saved
    QDateTime changed; // when the copy was last written
};

class RecoveryFolder
{
public:
    explicit RecoveryFolder(QString folder);

    // The user's recovery folder: ~/.local/share/Corvane/recovery.
    static QString standardPath();

    const QString &path() const { return m_folder; }
    // The copy of the job being edited.
    QString jobFile() const;

    // Writes the copy of a job that belongs to the job file original (empty for none). Returns an
    // error naming the file and the system's reason, or the empty text.
    QString write(const JobFileContent &content, const QString &original) const;
    // Removes the copy; returns why it could not be removed, or the empty text.
    QString remove() const;

    // The copies to offer: this folder's, then those of the old kind in tempFolder, newest first.
    QList<RecoveredJob> found(const QString &tempFolder) const;

    struct Kept
    {
        QString path;  // where the copy now is
        QString error; // why it could not be moved there; empty when it was
    };
    // Moves a copy found to kept-<date>-<time>.bm in this folder, its date and time those of its
    // last change, with a number after them when that name is taken.
    Kept keep(const RecoveredJob &copy) const;

private:
    QString m_folder;
};

} // namespace corvane
