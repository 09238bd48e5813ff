// The layers of src/ (src/layers.txt) hold: every include points to the file's own layer or one
// below it, and no folder includes another that includes it back, directly or round about.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace corvane {
namespace {

const QString kSource = QStringLiteral(CORVANE_SOURCE_DIR "/src");

struct Layers
{
    QMap<QString, int> folderLayer; // folder below src/ -> layer number
    QString error;
};

Layers readLayers()
{
    Layers layers;
    QFile table(kSource + QStringLiteral("/layers.txt"));
    if (!table.open(QIODevice::ReadOnly)) {
        layers.error = QStringLiteral("src/layers.txt cannot be read");
        return layers;
    }
    for (const QString &line : QString::fromUtf8(table.readAll()).split(u'\n')) {
        const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
        if (words.isEmpty() || words.first().startsWith(u'#'))
            continue;
        bool number = false;
        const int layer = words.first().toInt(&number);
        if (!number || words.size() < 3) {
            layers.error = QStringLiteral("src/layers.txt: cannot read the line \"%1\"").arg(line);
            return layers;
        }
        for (const QString &folder : words.mid(2))
            layers.folderLayer.insert(folder, layer);
    }
    return layers;
}

// The folder of a path below src/ as the table names it.
QString folderOf(const QString &path)
{
    return QFileInfo(path).path();
}

struct Include
{
    QString file;   // below src/
    QString header; // below src/
};

QList<Include> projectIncludes()
{
    QList<Include> includes;
    const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                     QRegularExpression::MultilineOption);
    QDirIterator it(kSource, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString relative = QDir(kSource).relativeFilePath(path);
        auto matches = include.globalMatch(QString::fromUtf8(file.readAll()));
        while (matches.hasNext()) {
            const QString header = matches.next().captured(1);
            if (QFileInfo::exists(kSource + u'/' + header))
                includes.append({relative, header});
        }
    }
    return includes;
}

TEST(Layers, EveryIncludePointsToItsOwnLayerOrBelowAndNoFoldersFormACycle)
{
    const Layers layers = readLayers();
    ASSERT_TRUE(layers.error.isEmpty()) << layers.error.toStdString();
    ASSERT_GE(layers.folderLayer.size(), 9);
    const QList<Include> includes = projectIncludes();
    ASSERT_GT(includes.size(), 100);

    QMap<QString, QSet<QString>> uses; // folder -> the other folders it includes from
    for (const Include &include : includes) {
        const QString from = folderOf(include.file);
        const QString to = folderOf(include.header);
        ASSERT_TRUE(layers.folderLayer.contains(from))
            << include.file.toStdString() << " lies in no layer of src/layers.txt";
        ASSERT_TRUE(layers.folderLayer.contains(to))
            << include.header.toStdString() << " lies in no layer of src/layers.txt";
        EXPECT_LE(layers.folderLayer.value(to), layers.folderLayer.value(from))
            << include.file.toStdString() << " includes " << include.header.toStdString()
            << ", a header of a higher layer";
        if (from != to)
            uses[from].insert(to);
    }

    // A walk from every folder along its includes never comes back to it.
    for (auto it = uses.cbegin(); it != uses.cend(); ++it) {
        QSet<QString> seen;
        QStringList stack(it.value().values());
        while (!stack.isEmpty()) {
            const QString folder = stack.takeLast();
            EXPECT_NE(folder, it.key())
                << "the folders round " << it.key().toStdString() << " include each other";
            if (folder == it.key() || seen.contains(folder))
                continue;
            seen.insert(folder);
            stack += uses.value(folder).values();
        }
    }
}

} // namespace
} // namespace corvane
