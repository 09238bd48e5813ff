#include "app/commonwindow.h"

#include "inputwindowtest.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

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

TEST_F(CommonWindowTest, TypedPastedAndChosenReachTheJobAndTabRunsOn)
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
    // A paste loses its quotes.
    QGuiApplication::clipboard()->setText(QStringLiteral(" 'Tools' \"Ltd\""));
    QTest::keyClick(text(0), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(job().common(0), "Big 0 Tools Ltd");

    // Tab runs through the texts, the lists and the buttons 5 to 1.
    const char *order[] = {"txtcom0",      "txtcom1", "txtcom2", "txtcom3", "cmbMaterial",
                           "cmbThickness", "cmbVeeG", "cmd5",    "cmd4",    "cmd3",
                           "cmd2",         "cmd1",    "txtcom0"};
    text(0)->setFocus();
    for (const char *name : order) {
        EXPECT_EQ(nameOf(focused()), name);
        QTest::keyClick(focused(), Qt::Key_Tab);
    }

    // A key in a list is a choice of the operator's, and the lists below show what it leaves.
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
}

TEST_F(CommonWindowTest, SectionButtonShowsItsSectionAndMarksTheSectionsInUse)
{
    activate(window);
    editor.setOutside(1, 0, "5"); // which texts put a section in use is the section's test
    QTest::mouseClick(button(3), Qt::LeftButton);
    EXPECT_EQ(editor.activeSectionIndex(), 3);
    EXPECT_EQ(focused(), button(3));
    for (int n = 1; n <= kSectionCount; ++n) {
        EXPECT_EQ(button(n)->font().bold(), n == 3) << n;
        EXPECT_EQ(button(n)->font().underline(), n == 3) << n;
        EXPECT_EQ(button(n)->icon().isNull(), n != 1) << n;
    }
    // The earlier button returns to regular.
    QTest::mouseClick(button(2), Qt::LeftButton);
    EXPECT_FALSE(button(3)->font().bold() || button(3)->font().underline());
}

} // namespace
} // namespace corvane
