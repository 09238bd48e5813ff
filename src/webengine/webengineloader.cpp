#include "webengine/webengineloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

namespace corvane {

namespace {

const QString kModuleFile = QStringLiteral("corvane-webengine.so");
QString &namedModule()
{
    static QString path;
    return path;
}

// The module's file, or the empty text with the places looked at in tried.
QString modulePath(QStringList *tried)
{
    QStringList candidates;
    if (!namedModule().isEmpty())
        candidates << namedModule();
    // Beside the program in a build tree; in an installed copy, in lib/ relative to bin/ first, so
    // that a package unpacked anywhere (dpkg -x) finds its own module.
    const QDir programDir(QCoreApplication::applicationDirPath());
    candidates << programDir.filePath(kModuleFile)
               << QDir::cleanPath(programDir.filePath(
                      QStringLiteral(CORVANE_MODULE_DIR_FROM_BINDIR "/") + kModuleFile))
               << QDir(QStringLiteral(CORVANE_INSTALLED_MODULE_DIR)).filePath(kModuleFile);
    for (const QString &path : candidates) {
        if (QFileInfo::exists(path))
            return path;
        if (tried)
            *tried << path;
    }
    return {};
}

struct Loaded
{
    WebEngine *engine = nullptr;
    QString error;
};

Loaded load()
{
    QStringList tried;
    const QString path = modulePath(&tried);
    if (path.isEmpty())
        return {nullptr, QStringLiteral("the web engine module is missing (looked for %1)")
                             .arg(tried.join(QStringLiteral(", ")))};
    // Kept loaded to the end of the process: the engine's objects come from it.
    auto *library = new QLibrary(path);
    using Entry = WebEngine *(*)();
    const auto entry = reinterpret_cast<Entry>(library->resolve(kWebEngineEntry));
    if (!entry) {
        const QString error =
            QStringLiteral("cannot load %1: %2").arg(path, library->errorString());
        delete library;
        return {nullptr, error};
    }
    return {entry(), {}};
}

} // namespace

WebEngine *webEngine(QString *error)
{
    static const Loaded loaded = load();
    if (error)
        *error = loaded.error;
    return loaded.engine;
}

void setWebEngineModule(const QString &path)
{
    namedModule() = path;
}

} // namespace corvane
