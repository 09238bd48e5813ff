#include "app/timedend.h"

#include "ground/jobfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTimer>

namespace corvane {

namespace {

const QString kReported = QStringLiteral("-reported.bm");

} // namespace

TimedEnd::TimedEnd(std::function<void()> end, QObject *parent)
    : QObject(parent), m_end(std::move(end)), m_timer(new QTimer(this))
{
    m_timer->setInterval(kTickMilliseconds);
    connect(m_timer, &QTimer::timeout, this, [this] {
        if (++m_ticks >= kTicks)
            m_end();
    });
    m_timer->start();
}

QString TimedEnd::saveRecovery(const Job &job, const QString &tempFolder)
{
    if (!job.isChanged())
        return QString();
    const QString path =
        QDir(tempFolder)
            .filePath(
                QStringLiteral("recovered-%1.bm")
                    .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
    return writeJobFile(jobFileContent(job), path).ok() ? path : QString();
}

QStringList TimedEnd::recoveryFiles(const QString &tempFolder)
{
    QStringList files;
    const QFileInfoList found =
        QDir(tempFolder).entryInfoList({QStringLiteral("recovered-*.bm")}, QDir::Files, QDir::Time);
    for (const QFileInfo &info : found) {
        if (!info.fileName().endsWith(kReported))
            files << info.filePath();
    }
    return files;
}

QStringList TimedEnd::takeRecoveryNotices(const QString &tempFolder)
{
    QStringList notices;
    for (const QString &path : recoveryFiles(tempFolder)) {
        const QString reported = path.left(path.size() - 3) + kReported;
        const QString shown = QFile::rename(path, reported) ? reported : path;
        notices << QStringLiteral("Corvane ended itself after a long run while a job had unsaved "
                                  "changes. That job was saved to:\n\n%1\n\nOpen it to carry on "
                                  "with it.")
                       .arg(QDir::toNativeSeparators(shown));
    }
    return notices;
}

} // namespace corvane
