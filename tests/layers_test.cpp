// The layers of src/ (src/layers.txt) hold: every include points to the file's own layer or one
// below it. With one folder a layer, no two folders can then include each other, even round about.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace corvane {
namespace {

const QString kSource = QStringLiteral(CORVANE_SOURCE_DIR "/src");

TEST(Layers, EveryIncludePointsToItsOwnLayerOrBelow)
{
    // The folders of src/ and their layers, as layers.txt lists them: "layer folder", one folder
    // a layer, and every folder of src/ one of them.
    QMap<QString, int> layers;
    QFile table(kSource + QStringLiteral("/layers.txt"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    for (const QString &line : QString::fromUtf8(table.readAll()).split(u'\n')) {
        const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
        if (!words.isEmpty() && !words.first().startsWith(u'#')) {
            ASSERT_EQ(words.size(), 2) << line.toStdString();
            layers.insert(words[1], words[0].toInt());
        }
    }
    EXPECT_EQ(QSet<int>(layers.cbegin(), layers.cend()).size(), layers.size());
    EXPECT_EQ(QDir(kSource).entryList(QDir::Dirs | QDir::NoDotAndDotDot), layers.keys());
    const QRegularExpression include("^\\s*#\\s*include\\s+\"([^\"]+)\"",
                                     QRegularExpression::MultilineOption);
    int includes = 0;
    QDirIterator it(kSource, {"*.h", "*.cpp"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString name = QDir(kSource).relativeFilePath(file.fileName());
        const QString from = QFileInfo(name).path();
        ASSERT_TRUE(layers.contains(from)) << name.toStdString() << " lies in no layer";
        auto matches = include.globalMatch(QString::fromUtf8(file.readAll()));
        while (matches.hasNext()) {
            const QString header = matches.next().captured(1);
            if (!QFileInfo::exists(kSource + u'/' + header))
                continue; // a header of Qt or the system
            ++includes;
            // Its own folder is a layer: the header is one of the files looked at.
            EXPECT_LE(layers.value(QFileInfo(header).path()), layers.value(from))
                << name.toStdString() << " includes " << header.toStdString()
                << ", a header of a higher layer";
        }
    }
    EXPECT_GT(includes, 100);
}

} // namespace
} // namespace corvane
