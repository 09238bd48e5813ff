#include "app/documentcommands.h"

#include "app/busycursor.h"
#include "app/operatordialogs.h"
#include "app/settings.h"
#include "editing/jobeditor.h"
#include "report/reportcommand.h"
#include "ground/jobfile.h"
#include "ground/maker.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace corvane {

DocumentCommands::DocumentCommands(JobEditor &editor, const OperatorDialogs &dialogs,
                                   QObject *parent)
    : QObject(parent), m_editor(editor), m_dialogs(dialogs)
{}

void DocumentCommands::newCommand()
{
    if (offerToSave())
        startNewJob();
}

bool DocumentCommands::offerToSave(bool closing)
{
    if (!m_editor.job().isChanged())
        return true;
    const int buttons = QMessageBox::Yes | QMessageBox::No | (closing ? QMessageBox::Cancel : 0);
    switch (m_dialogs.ask(QStringLiteral("Attention!"),
                          QStringLiteral("Do you want to save changes you have made to this file?"),
                          buttons)) {
    case QMessageBox::Yes: {
        // A Save dialog cancelled after Yes lets New and Open go on, with the changes dropped;
        // closing stays. A Save that could not be written stops both, the job as it was.
        const SaveOutcome saved = save();
        return closing ? saved == SaveOutcome::Saved : saved != SaveOutcome::Failed;
    }
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void DocumentCommands::startNewJob()
{
    BusyCursor busy;
    // The recovered job gives way, and with it the title that said so.
    if (m_recovered) {
        m_recovered = false;
        Q_EMIT titleChanged(maker::kProduct);
    }
    m_editor.newJob();
    Q_EMIT jobStarted();
}

void DocumentCommands::openCommand()
{
    if (!offerToSave())
        return;
    // The dialog starts without a file name; a cancel leaves a new, empty job.
    const QString path = m_dialogs.chooseFile(false, QFileInfo(m_dialogFile).path());
    if (path.isEmpty()) {
        startNewJob();
        return;
    }
    readIntoNewJob(path);
}

void DocumentCommands::openFile(const QString &path)
{
    if (offerToSave())
        readIntoNewJob(path);
}

void DocumentCommands::readIntoNewJob(const QString &path)
{
    BusyCursor busy;
    // The file is read whole before the open job gives way to it: a file that cannot be opened
    // leaves the job, its title and its Changed flag as they were.
    const JobFileReadResult read = readJobFile(path);
    if (!read.ok()) {
        showError(read.error);
        return;
    }
    startNewJob();
    fileIsNow(path);
    m_editor.openContent(read.content);
    Settings().addRecentFile(path);
    Q_EMIT recentFilesChanged();
    if (!read.widthsProblem.isEmpty())
        Q_EMIT statusMessage(read.widthsProblem);
}

bool DocumentCommands::openRecovered(const QString &copy, const QString &original)
{
    BusyCursor busy;
    const JobFileReadResult read = readJobFile(copy);
    if (!read.ok()) {
        showError(read.error);
        return false;
    }
    startNewJob();
    m_editor.openContent(read.content);
    m_editor.markRecovered();
    m_dialogFile = original;
    m_recovered = true;
    Q_EMIT titleChanged(original.isEmpty()
                            ? QStringLiteral("Recovered job - ") + maker::kProduct
                            : QFileInfo(original).fileName() + QStringLiteral(" (recovered) - ") +
                                  maker::kProduct);
    return true;
}

bool DocumentCommands::saveCommand()
{
    return save() == SaveOutcome::Saved;
}

DocumentCommands::SaveOutcome DocumentCommands::save()
{
    // A recovered job is offered back to the file it was kept from.
    QString path = m_dialogs.chooseFile(
        true, m_recovered && !m_dialogFile.isEmpty() ? m_dialogFile : proposedPath());
    if (path.isEmpty())
        return SaveOutcome::Cancelled;
    // A path without an extension gets ".bm", whichever chooser gave it (the standard one adds
    // it itself: operatordialogs.cpp).
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".bm");
    BusyCursor busy;
    const JobFileWriteResult written = writeJobFile(jobFileContent(m_editor.job()), path);
    if (!written.ok()) {
        showError(written.error);
        return SaveOutcome::Failed;
    }
    fileIsNow(path);
    m_editor.markSaved();
    Settings().addRecentFile(path);
    Q_EMIT recentFilesChanged();
    return SaveOutcome::Saved;
}

void DocumentCommands::fileIsNow(const QString &path)
{
    m_dialogFile = path;
    m_recovered = false;
    Q_EMIT titleChanged(QFileInfo(path).fileName() + QStringLiteral(" - ") + maker::kProduct);
}

QString DocumentCommands::proposedPath(const QString &suffix) const
{
    const QString proposed = proposedFileName(m_editor.job()) + suffix;
    return m_dialogFile.isEmpty() ? proposed : QFileInfo(m_dialogFile).dir().filePath(proposed);
}

QString DocumentCommands::jobName() const
{
    return m_dialogFile.isEmpty() ? proposedFileName(m_editor.job()) : reportJobName(m_dialogFile);
}

void DocumentCommands::showError(const QString &message) const
{
    m_dialogs.ask(maker::kProduct, message, QMessageBox::Ok);
}

} // namespace corvane
