#include "app/commonwindow.h"

#include "app/formstyle.h"
#include "app/sectionwindow.h"
#include "inputwindowtest.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace corvane {
namespace {

class CommonWindowTest : public test::InputWindowTest
{
protected:
    CommonWindow window{editor};

    QLineEdit *text(int i) const
    {
        return child<QLineEdit>(window, QStringLiteral("txtcom%1").arg(i));
    }
    QComboBox *list(const char *name) const { return child<QComboBox>(window, name); }
    QPushButton *button(int n) const
    {
        return child<QPushButton>(window, QStringLiteral("cmd%1").arg(n));
    }
};

TEST_F(CommonWindowTest, TypedAndPastedTextsReachTheJobAndTabRunsOn)
{
    activate(window);
    for (int i = 0; i < kCommonTextCount; ++i) {
        text(i)->setFocus();
        QTest::keyClicks(text(i), QStringLiteral("Big %1").arg(i));
        EXPECT_EQ(job().common(i), QStringLiteral("Big %1").arg(i)) << i;
    }
    // A text changed elsewhere (an opened job) is shown.
    editor.setCommonText(3, QStringLiteral("from the file"));
    EXPECT_EQ(text(3)->text(), "from the file");
    // A paste loses its quotes, and the paste and the quotes it lost are one step.
    QGuiApplication::clipboard()->setText(QStringLiteral(" 'Tools' \"Ltd\""));
    QTest::keyClick(text(0), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(job().common(0), "Big 0 Tools Ltd");
    EXPECT_EQ(text(0)->text(), job().common(0));
    QTest::keyClick(text(0), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(job().common(0), "Big 0");

    // Tab runs through the texts, the lists and the buttons 5 to 1.
    const char *order[] = {"txtcom0",      "txtcom1", "txtcom2", "txtcom3", "cmbMaterial",
                           "cmbThickness", "cmbVeeG", "cmd5",    "cmd4",    "cmd3",
                           "cmd2",         "cmd1",    "txtcom0"};
    text(0)->setFocus();
    for (const char *name : order) {
        EXPECT_EQ(nameOf(focused()), name);
        QTest::keyClick(focused(), Qt::Key_Tab);
    }
}

// A key in a list is a choice of the operator's, and the lists below show what it leaves.
TEST_F(CommonWindowTest, AKeyInAListChoosesAndTheListsBelowFollow)
{
    activate(window);
    QComboBox *material = list("cmbMaterial");
    // Down from no choice goes to AL, down again to MS.
    QTest::keyClick(material, Qt::Key_Down);
    QTest::keyClick(material, Qt::Key_Down);
    EXPECT_EQ(job().material().text(), "MS");
    QComboBox *thickness = list("cmbThickness");
    EXPECT_EQ(thickness->count(), job().thickness().items().size());
    QTest::keyClick(thickness, Qt::Key_Down);
    QTest::keyClick(list("cmbVeeG"), Qt::Key_End);
    EXPECT_EQ(list("cmbVeeG")->currentText(), job().veeAll().text());
    EXPECT_EQ(list("cmbVeeG")->currentIndex(), list("cmbVeeG")->count() - 1);
}

TEST_F(CommonWindowTest, SectionButtonShowsItsSectionAndMarksTheSectionsInUse)
{
    activate(window);
    QSignalSpy shown(&editor, &JobEditor::shownSectionChanged);
    editor.setOutside(1, 0, "10");
    editor.setOutside(2, 0, "0");
    editor.setOutside(4, 0, "abc");
    editor.setOutside(5, 0, "5");
    QTest::mouseClick(button(3), Qt::LeftButton);
    EXPECT_EQ(editor.activeSectionIndex(), 3);
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown.at(0).at(0).toInt(), 3);
    EXPECT_EQ(focused(), button(3));
    const bool inUse[] = {true, false, false, false, true};
    for (int n = 1; n <= kSectionCount; ++n) {
        EXPECT_EQ(button(n)->font().bold(), n == 3) << n;
        EXPECT_EQ(button(n)->font().underline(), n == 3) << n;
        EXPECT_EQ(button(n)->icon().isNull(), !inUse[n - 1]) << n;
    }

    // Space on the focused button is a click too; the earlier button returns to regular.
    button(2)->setFocus();
    QTest::keyClick(button(2), Qt::Key_Space);
    EXPECT_EQ(editor.activeSectionIndex(), 2);
    EXPECT_TRUE(button(2)->font().underline());
    EXPECT_FALSE(button(3)->font().bold());
    EXPECT_FALSE(button(3)->font().underline());
}

TEST_F(CommonWindowTest, LeavingVeeAllPutsTheFocusIntoTheShownSection)
{
    // Both windows in one top-level window, as in the main window's MDI area.
    QWidget area;
    auto *common = new CommonWindow(editor, &area);
    auto *section = new SectionWindow(editor, 1, &area);
    section->move(0, common->sizeHint().height());
    QObject::connect(common, &CommonWindow::veeAllLeft, section, &SectionWindow::focusFirstFlange);
    QSignalSpy left(common, &CommonWindow::veeAllLeft);
    activate(area);
    child<QComboBox>(*common, "cmbVeeG")->setFocus();
    EXPECT_EQ(left.count(), 0);
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(focused(), child<QWidget>(*section, "txtOutside0"));
    // Leaving another list does nothing of the kind.
    child<QComboBox>(*common, "cmbThickness")->setFocus();
    QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_EQ(nameOf(focused()), "cmbVeeG");
    EXPECT_EQ(left.count(), 1);
}

// Every text box and pick list of both input windows is in the bold box type of the design.
TEST_F(CommonWindowTest, EveryBoxOfTheInputWindowsIsInTheBoxType)
{
    SectionWindow section(editor, 1);
    for (const QWidget *input : std::initializer_list<const QWidget *>{&window, &section}) {
        for (const QWidget *box : input->findChildren<QWidget *>()) {
            if (!qobject_cast<const QLineEdit *>(box) && !qobject_cast<const QComboBox *>(box) &&
                !qobject_cast<const QPlainTextEdit *>(box))
                continue;
            EXPECT_TRUE(box->font().bold()) << nameOf(box);
            EXPECT_EQ(box->font().pointSizeF(), kBoxPoints) << nameOf(box);
        }
    }
}

} // namespace
} // namespace corvane
