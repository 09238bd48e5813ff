#include "app/tablewindows.h"

#include "bendtable/bendtablesource.h"

#include "app/mainwindowtest.h"
#include "ground/filewrite.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolBar>

namespace corvane {
namespace {

class TableWindowsTest : public test::MainWindowTest
{};

// The Table command's drop-down opens the table's check and the test bend; the status bar says
// when the table has findings.
TEST_F(TableWindowsTest, TableCommandOffersTheCheckAndTheTestBend)
{
    const QString table = folder.filePath("BendTbl.xls");
    const QByteArray shipped = test::readBytes(table);
    ASSERT_EQ(replaceFile(table, test::textWorkbook({{"material", "thickness", "vee", "standard",
                                                      "k_factor", "internal_radius", "version"},
                                                     {"MS", "2", "16", "YES", "1.4", "2"}})),
              QString());
    MainWindow &w = window();
    EXPECT_TRUE(
        w.tableStatusText().endsWith("(the table check has 2 findings: Table, Check Bend Table)"))
        << w.tableStatusText().toStdString();
    QStringList shown;
    QString outcome;
    QString radiusNoNumber;
    QStringList vees; // the vee list once MS 2 mm is chosen
    QStringList veesAtOpen;
    w.showTableWindow = [&](QDialog &dialog) {
        if (auto *check = qobject_cast<TableCheckWindow *>(&dialog))
            shown = check->lines();
        if (auto *bend = qobject_cast<TestBendWindow *>(&dialog)) {
            // It opens on the job's material and thickness, with their vees.
            auto *atOpen = dialog.findChild<QComboBox *>("cmbVee");
            for (int i = 0; i < atOpen->count(); ++i)
                veesAtOpen << atOpen->itemText(i);
            dialog.findChild<QComboBox *>("cmbMaterial")->setCurrentText("MS");
            dialog.findChild<QComboBox *>("cmbThickness")->setCurrentText("2");
            auto *vee = dialog.findChild<QComboBox *>("cmbVee");
            for (int i = 0; i < vee->count(); ++i)
                vees << vee->itemText(i);
            vee->setCurrentText("16");
            const std::pair<const char *, const char *> typed[] = {{"txtBlank", "96.178325"},
                                                                   {"txtFlange1", "50"},
                                                                   {"txtFlange2", "50"},
                                                                   {"txtRadius", "2"}};
            for (const auto &[box, text] : typed)
                QTest::keyClicks(dialog.findChild<QLineEdit *>(box), text);
            outcome = bend->outcome();
            QTest::keyClicks(dialog.findChild<QLineEdit *>("txtRadius"), "x");
            radiusNoNumber = bend->outcome();
        }
    };
    QMenu *menu = nullptr;
    for (QAction *action : w.findChild<QToolBar *>(QStringLiteral("TB"))->actions()) {
        if (action->text() == "Table")
            menu = action->menu();
    }
    ASSERT_NE(menu, nullptr);
    const QList<QAction *> entries = menu->actions();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0]->text(), "&Check Bend Table...");
    entries[0]->trigger();
    EXPECT_EQ(shown, (QStringList{"row 2: k_factor: 1.4 is outside 0 to 1",
                                  "row 2: version: empty in the first row; the status bar shows "
                                  "no version"}));

    // The workbook mended: the check finds nothing and the status bar says no more.
    ASSERT_EQ(replaceFile(table, shipped), QString());
    entries[0]->trigger();
    EXPECT_EQ(shown, QStringList{"no problems found"});
    EXPECT_TRUE(w.tableStatusText().endsWith("BendTbl.xls 2026.12"))
        << w.tableStatusText().toStdString();

    EXPECT_EQ(entries[1]->text(), "&Test Bend...");
    w.newCommand();
    w.editor().chooseMaterial(w.editor().job().material().items().indexOf("MS"));
    w.editor().chooseThickness(w.editor().job().thickness().items().indexOf("2"));
    ASSERT_EQ(w.editor().job().thickness().text(), "2");
    entries[1]->trigger();
    EXPECT_TRUE(outcome.contains("Bend deduction: 3.82 mm")) << outcome.toStdString();
    EXPECT_TRUE(outcome.contains("K factor: 0.3300 (inside radius 2.00 mm)"))
        << outcome.toStdString();
    EXPECT_TRUE(outcome.contains("The table's K factor: ")) << outcome.toStdString();
    EXPECT_EQ(radiusNoNumber, "The inside radius is no number.");
    EXPECT_EQ(vees, BendTableSource(table).table()->vees("MS", 2));
    EXPECT_EQ(veesAtOpen, vees);
}

} // namespace
} // namespace corvane
