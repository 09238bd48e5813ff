#pragma once

// The commands on the job as a file: New, Open (from the dialog or the recent files) and Save,
// with the question about unsaved changes before New, Open and closing.
//
// They act on the main window's JobEditor and ask the operator through its OperatorDialogs. The
// file last opened or saved names the window (titleChanged) and is where the dialogs start; it
// also gives the folder of the name that Save and Export PDF propose. A file that cannot be read
// or written is named in a message, and the open job stays as it was.

#include <QObject>
#include <QString>

namespace corvane {

class JobEditor;
struct OperatorDialogs;

class DocumentCommands : public QObject
{
    Q_OBJECT

public:
    // The editor and the dialogs must outlive the commands.
    DocumentCommands(JobEditor &editor, const OperatorDialogs &dialogs, QObject *parent);

    void newCommand();
    void openCommand();
    // Opens path as Open does, after the question about unsaved changes (the recent files).
    void openFile(const QString &path);
    // Opens path without the question (the job file given at start).
    void readIntoNewJob(const QString &path);
    // Opens a copy kept after a crash (ground/recovery.h), without the question: the job changed,
    // titled "<file name> (recovered)" or "Recovered job", and Save proposing original, the file
    // it belongs to. False when the copy could not be read, which the operator was told.
    bool openRecovered(const QString &copy, const QString &original);
    // The job file the open job belongs to: the one last opened or saved, or the one a recovered
    // job was kept from; empty for a job never saved.
    const QString &filePath() const { return m_dialogFile; }
    // False when the operator cancelled or the file could not be written.
    bool saveCommand();

    // The question about unsaved changes, when there are any. False when what asked must stop:
    // the question cancelled, or a Save after Yes that failed; closing also stops when the
    // operator cancels the Save dialog after Yes, while New and Open go on then.
    bool offerToSave(bool closing = false);

    // The name Save proposes, with suffix, in the folder of the file last opened or saved.
    QString proposedPath(const QString &suffix = {}) const;
    // The job's name for files made from it: the name of the file last opened or saved without
    // its extension, or the name Save proposes when there is none.
    QString jobName() const;

    // A message to the operator, with the single button OK.
    void showError(const QString &message) const;

Q_SIGNALS:
    // The window's title has changed: the file's name, then the product's.
    void titleChanged(const QString &title);
    // A new, empty job has been started, and the input windows are to be laid out again.
    void jobStarted();
    void recentFilesChanged();
    // A note for the status bar: an opened file's block of blank widths could not be read.
    void statusMessage(const QString &text);

private:
    enum class SaveOutcome
    {
        Saved,
        Cancelled, // the operator cancelled the dialog
        Failed     // the file could not be written; the operator was told why
    };
    SaveOutcome save();
    void startNewJob();
    // The file now open: the title, the dialogs' folder and the recent files follow it.
    void fileIsNow(const QString &path);

    JobEditor &m_editor;
    const OperatorDialogs &m_dialogs;
    QString m_dialogFile;     // the file last opened or saved
    bool m_recovered = false; // the job is a recovered copy, which Save offers to m_dialogFile
};

} // namespace corvane
