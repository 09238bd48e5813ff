#include "app/tablewindows.h"

#include "bendtable/bendtablesource.h"

#include "app/mainwindowtest.h"
#include "calculation/testbend.h"
#include "ground/filewrite.h"

#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QTest>
#include <QToolBar>

namespace corvane {
namespace {

using TableWindowsTest = test::MainWindowTest;

// The Table command asks before it opens the workbook, naming where to save it; its drop-down
// opens the table's check and the test bend; the status bar says when the table has findings.
TEST_F(TableWindowsTest, TableCommandAsksAndOffersTheCheckAndTheTestBend)
{
    const QString table = folder.filePath("BendTbl.xls");
    const QByteArray shipped = test::readBytes(table);
    ASSERT_EQ(replaceFile(table, test::textWorkbook({{"material", "thickness", "vee", "standard",
                                                      "k_factor", "internal_radius", "version"},
                                                     {"MS", "2", "16", "YES", "1.4", "2"}})),
              QString());
    MainWindow &w = window();
    w.tableCommand(); // No: the workbook is not opened
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].startsWith("Open Bending Table in Excel: IMPORTANT INSTRUCTIONS"));
    EXPECT_TRUE(questions[0].contains("save the file as " + table));
    EXPECT_TRUE(
        w.tableStatusText().endsWith("(the table check has 2 findings: Table, Check Bend Table)"))
        << w.tableStatusText().toStdString();
    QStringList shown;
    QString summary; // the check's line above its list
    QString radiusNoNumber;
    QStringList vees; // the test bend's vee list as it opens
    w.showTableWindow = [&](QDialog &dialog) {
        if (auto *check = qobject_cast<TableCheckWindow *>(&dialog)) {
            shown = check->lines();
            summary = check->findChild<QLabel *>()->text();
            check->layout()->activate(); // the summary stands above the list, not over it
            EXPECT_LT(check->findChild<QLabel *>()->geometry().bottom(),
                      check->findChild<QListWidget *>()->geometry().top());
        }
        if (auto *bend = qobject_cast<TestBendWindow *>(&dialog)) {
            auto *vee = dialog.findChild<QComboBox *>("cmbVee");
            for (int i = 0; i < vee->count(); ++i)
                vees << vee->itemText(i);
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
    entries[0]->trigger();
    EXPECT_EQ(shown, (QStringList{"row 2: k_factor: 1.4 is outside 0 to 1",
                                  "row 2: version: empty in the first row; the status bar shows "
                                  "no version"}));

    // The workbook mended: the check finds nothing and the status bar says no more.
    ASSERT_EQ(replaceFile(table, shipped), QString());
    entries[0]->trigger();
    EXPECT_EQ(shown, QStringList{"no problems found"});
    EXPECT_EQ(summary, QDir::toNativeSeparators(table) + ": no problems found.");
    EXPECT_TRUE(w.tableStatusText().endsWith("BendTbl.xls 2026.12"))
        << w.tableStatusText().toStdString();

    // The test bend opens on the job's material and thickness, with their vees.
    w.newCommand();
    test::fillWorkedExample(w.editor());
    entries[1]->trigger();
    EXPECT_EQ(radiusNoNumber, "The inside radius is no number.");
    EXPECT_EQ(vees, BendTableSource(table).table()->vees("MS", 2));
}

// The window works out a K factor only once the angle, the blank and both flanges are given, and
// compares a 100 mm flange cut with the table's K factor and with the one measured.
TEST_F(TableWindowsTest, TestBendNeedsEveryLengthAndComparesA100MmFlangeWithTheTable)
{
    const QString table = folder.filePath("BendTbl.xls");
    ASSERT_EQ(replaceFile(table, test::textWorkbook({{"material", "thickness", "vee", "standard",
                                                      "k_factor", "internal_radius", "version"},
                                                     {"MS", "2", "16", "YES", "0.33", "2"}})),
              QString());
    BendTableSource source(table);
    TestBendWindow bend(source, Job());
    const auto type = [&](const char *box, const QString &text) {
        bend.findChild<QLineEdit *>(box)->setText(text);
    };
    // A blank from which the table's own K factor comes out.
    const float blank = 100.0f - bendDeduction(0.33f, 2.0f, 2.0f, 90.0f);
    const std::pair<const char *, QString> needed[] = {{"txtAngle", "90"},
                                                       {"txtBlank", QString::number(blank, 'g', 9)},
                                                       {"txtFlange1", "50"},
                                                       {"txtFlange2", "50"}};
    for (const auto &[missing, text] : needed) {
        for (const auto &[box, value] : needed)
            type(box, box == missing ? QString() : value);
        EXPECT_TRUE(bend.outcome().startsWith("Enter the bend angle")) << missing;
    }
    for (const auto &[box, value] : needed)
        type(box, value);
    // The cuts with the table's K factor and with this one, and their difference.
    const auto cuts = [&bend] {
        static const QRegularExpression cut(
            QStringLiteral("is cut (\\S+) mm flat with the table's K factor, (\\S+) mm with this "
                           "one \\((\\S+) mm"));
        const QRegularExpressionMatch m = cut.match(bend.outcome());
        EXPECT_TRUE(m.hasMatch()) << bend.outcome().toStdString();
        return std::array<double, 3>{m.captured(1).toDouble(), m.captured(2).toDouble(),
                                     m.captured(3).toDouble()};
    };
    const auto same = cuts();
    EXPECT_EQ(same[0], same[1]);
    EXPECT_EQ(same[2], 0.0);
    // One millimetre more blank: a smaller deduction, a longer cut with this K factor.
    type("txtBlank", QString::number(blank + 1.0f, 'g', 9));
    const auto longer = cuts();
    EXPECT_EQ(longer[0], same[0]);
    EXPECT_GT(longer[1], longer[0]);
    EXPECT_NEAR(longer[2], longer[1] - longer[0], 0.011);
}

} // namespace
} // namespace corvane
