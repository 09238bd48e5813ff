#include "app/mainwindowtest.h"

#include <QAction>
#include <QDir>
#include <QToolBar>

namespace corvane {
namespace {

using PrintCommandsTest = test::MainWindowTest;

// Export DXF, from its button: the flat blank of each section in use that has a width goes into
// the folder chosen, named after the job; the others are named in one message saying what to do.
TEST_F(PrintCommandsTest, ExportDxfWritesTheBlanksThatHaveAWidthAndNamesTheOthers)
{
    MainWindow &w = window();
    w.newCommand();
    w.editor().setCommonText(0, "Acme");
    test::fillWorkedExample(w.editor(), 1);
    test::fillWorkedExample(w.editor(), 3);
    w.editor().setWidth(1, "120");
    const QString out = folder.filePath("dxf");
    ASSERT_TRUE(QDir().mkpath(out));
    w.chooseFolder = [&](const QString &) {
        return out;
    };
    QAction *exportDxf = nullptr;
    for (QAction *action : w.findChild<QToolBar *>("TB")->actions()) {
        if (action->text() == "Export DXF")
            exportDxf = action;
    }
    ASSERT_NE(exportDxf, nullptr);
    EXPECT_TRUE(exportDxf->toolTip().contains("Ctrl+Shift+D"))
        << exportDxf->toolTip().toStdString();
    exportDxf->trigger();
    EXPECT_EQ(QDir(out).entryList(QDir::Files), QStringList{"Acme----1.dxf"});
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("Section 3 was not exported: it has no width: enter the "
                                      "blank's width in its Width mm box"))
        << questions[0].toStdString();
    EXPECT_EQ(w.statusText(), "Exported 1 DXF files to " + QDir::toNativeSeparators(out));
}

} // namespace
} // namespace corvane
