#pragma once

// The copy behind the operator's work (ground/recovery.h), kept so that a crash, a kill or a power
// cut loses nothing older than two seconds.
//
// Once started, the keeper writes the job to the recovery folder within a second of a change that
// leaves it with unsaved changes, and at once when asked (before Print, the exports and the timed
// end); it removes the copy as soon as the job has none (Save, New, Open, undoing back to the
// job as saved) and when the program is closed after the operator's answer. The writes go to a
// thread of their own, so that a slow or full disk never holds up typing; the job is turned into
// the file's text here, which takes microseconds. A copy that cannot be written is said once
// (problemChanged), and said to be over once one could be written again.
//
// At start, before the keeper starts, the copies found are offered back to the operator.

#include "ground/recovery.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QStatusBar;
class QThread;

namespace corvane {

class DocumentCommands;
class JobEditor;
struct OperatorDialogs;

class RecoveryKeeper : public QObject
{
    Q_OBJECT

public:
    // The longest a change waits before its copy is written.
    static constexpr int kDelayMilliseconds = 1000;

    // Everything given must outlive the keeper.
    RecoveryKeeper(JobEditor &editor, const DocumentCommands &documents, RecoveryFolder folder,
                   QObject *parent);
    ~RecoveryKeeper() override;

    const RecoveryFolder &folder() const { return m_folder; }

    // Asks the operator about each copy found (in the recovery folder, then of the old kind in
    // tempFolder) until one is opened; a copy not opened now is kept under a name of its own and
    // the operator told where. Returns whether a copy was opened.
    bool offerFound(DocumentCommands &documents, const OperatorDialogs &dialogs,
                    const QString &tempFolder);
    // Follows the job from now on.
    void start();
    // Writes the copy now and waits until it is written, when the job has unsaved changes.
    // Returns the copy's path, or the empty text when there was nothing to write or it failed.
    QString writeNow();
    // Removes the copy and follows the job no longer: the program closes.
    void stop();

    // The problem being said, or the empty text.
    const QString &problem() const { return m_problem; }
    // Says each problem in a panel of bar that shows only while there is one.
    void showProblemsIn(QStatusBar &bar);

Q_SIGNALS:
    // A copy could not be written, and why; the empty text once one could again.
    void problemChanged(const QString &problem);

private:
    class Writer;

    void jobChanged();
    // Hands the job as it stands to the writing thread.
    void writeLater();
    void written(const QString &error);

    JobEditor &m_editor;
    const DocumentCommands &m_documents;
    RecoveryFolder m_folder;
    std::shared_ptr<Writer> m_writer;
    QThread *m_thread = nullptr; // made at the first write
    QObject *m_inThread = nullptr;
    QTimer m_timer;
    bool m_started = false;
    bool m_copyMayExist = false;
    QString m_problem;
};

} // namespace corvane
