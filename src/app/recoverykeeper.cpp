#include "app/recoverykeeper.h"

#include "app/documentcommands.h"
#include "app/operatordialogs.h"
#include "editing/jobeditor.h"
#include "ground/maker.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMutex>
#include <QStatusBar>
#include <QThread>

namespace corvane {

// Writes and removals in the order asked, from either thread: one that was overtaken by a later
// one (a removal on the window's thread while a write waited in the writing thread) is skipped.
class RecoveryKeeper::Writer
{
public:
    explicit Writer(RecoveryFolder folder) : m_folder(std::move(folder)) {}

    quint64 next() { return ++m_asked; }

    QString write(quint64 order, const JobFileContent &content, const QString &original)
    {
        QMutexLocker lock(&m_mutex);
        if (order <= m_done)
            return QString();
        m_done = order;
        return m_folder.write(content, original);
    }

    QString remove(quint64 order)
    {
        QMutexLocker lock(&m_mutex);
        if (order <= m_done)
            return QString();
        m_done = order;
        return m_folder.remove();
    }

private:
    RecoveryFolder m_folder;
    QMutex m_mutex;
    quint64 m_done = 0;
    quint64 m_asked = 0; // only the window's thread asks
};

RecoveryKeeper::RecoveryKeeper(JobEditor &editor, const DocumentCommands &documents,
                               RecoveryFolder folder, QObject *parent)
    : QObject(parent), m_editor(editor), m_documents(documents), m_folder(std::move(folder)),
      m_writer(std::make_shared<Writer>(m_folder))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] { writeLater(); });
    connect(&m_editor, &JobEditor::jobChanged, this, [this] { jobChanged(); });
}

RecoveryKeeper::~RecoveryKeeper()
{
    if (m_thread) {
        // A write under way ends first; one still waiting is dropped, as the next start offers
        // the copy written before it.
        m_thread->quit();
        m_thread->wait();
        delete m_inThread;
    }
}

bool RecoveryKeeper::offerFound(DocumentCommands &documents, const OperatorDialogs &dialogs,
                                const QString &tempFolder)
{
    for (const RecoveredJob &copy : m_folder.found(tempFolder)) {
        const bool own = copy.file == m_folder.jobFile();
        const QString name = !copy.original.isEmpty() ? QFileInfo(copy.original).fileName()
                             : own                    ? QStringLiteral("a new job")
                                                      : QFileInfo(copy.file).fileName();
        const QString text =
            QStringLiteral("Corvane did not close normally. The job you were working on was kept "
                           "(%1, changed %2). Open it?")
                .arg(name, copy.changed.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        if (dialogs.offerRecovered(text) && documents.openRecovered(copy.file, copy.original)) {
            // The open job is the copy now, which is written again once it changes; one of the
            // old kind is not offered again.
            if (!own)
                m_folder.keep(copy);
            return true;
        }
        const RecoveryFolder::Kept kept = m_folder.keep(copy);
        dialogs.ask(maker::kProduct,
                    kept.error.isEmpty()
                        ? QStringLiteral("The job was kept as %1. Open it from there when you want "
                                         "it back.")
                              .arg(QDir::toNativeSeparators(kept.path))
                        : kept.error,
                    QMessageBox::Ok);
    }
    return false;
}

void RecoveryKeeper::showProblemsIn(QStatusBar &bar)
{
    auto *panel = new QLabel(&bar);
    panel->hide();
    bar.addPermanentWidget(panel);
    connect(this, &RecoveryKeeper::problemChanged, panel, [panel](const QString &problem) {
        panel->setText(problem);
        panel->setVisible(!problem.isEmpty());
    });
}

void RecoveryKeeper::start()
{
    m_started = true;
    jobChanged();
}

void RecoveryKeeper::stop()
{
    m_timer.stop();
    m_started = false;
    m_writer->remove(m_writer->next());
    m_copyMayExist = false;
}

void RecoveryKeeper::jobChanged()
{
    if (!m_started)
        return;
    if (m_editor.job().isChanged()) {
        if (!m_timer.isActive())
            m_timer.start();
        return;
    }
    // Nothing unsaved: the copy goes at once, before a crash could offer a job already saved.
    m_timer.stop();
    if (m_copyMayExist) {
        m_copyMayExist = false;
        m_writer->remove(m_writer->next());
    }
}

void RecoveryKeeper::writeLater()
{
    if (!m_started || !m_editor.job().isChanged())
        return;
    if (!m_thread) {
        m_thread = new QThread(this);
        m_thread->setObjectName(QStringLiteral("recovery"));
        m_inThread = new QObject;
        m_inThread->moveToThread(m_thread);
        m_thread->start(QThread::LowPriority);
    }
    m_copyMayExist = true;
    const quint64 order = m_writer->next();
    const JobFileContent content = jobFileContent(m_editor.job());
    const QString original = m_documents.filePath();
    QMetaObject::invokeMethod(m_inThread, [this, writer = m_writer, order, content, original] {
        const QString error = writer->write(order, content, original);
        QMetaObject::invokeMethod(
            this, [this, error] { written(error); }, Qt::QueuedConnection);
    });
}

QString RecoveryKeeper::writeNow()
{
    m_timer.stop();
    if (!m_started || !m_editor.job().isChanged())
        return QString();
    m_copyMayExist = true;
    const QString error =
        m_writer->write(m_writer->next(), jobFileContent(m_editor.job()), m_documents.filePath());
    written(error);
    return error.isEmpty() ? m_folder.jobFile() : QString();
}

void RecoveryKeeper::written(const QString &error)
{
    // Said when it begins and when it ends, not at every write between.
    if (error.isEmpty() == m_problem.isEmpty())
        return;
    m_problem = error.isEmpty()
                    ? QString()
                    : QStringLiteral("No recovery copy of the job could be written: %1").arg(error);
    Q_EMIT problemChanged(m_problem);
}

} // namespace corvane
