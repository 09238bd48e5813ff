#include "input/windows/commonwindow.h"

#include "input/windows/sectionwindow.h"
#include "input/windows/twips.h"
#include "inputwindowtest.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <array>
#include <memory>

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
    int dpi() const { return window.logicalDpiY(); }
    QRect twips(double left, double top, double width, double height) const
    {
        return {Twips::toPixels(left, dpi()), Twips::toPixels(top, dpi()),
                Twips::toPixels(width, dpi()), Twips::toPixels(height, dpi())};
    }
};

TEST_F(CommonWindowTest, TypedCommonTextsReachTheJobWithoutQuotes)
{
    activate(window);
    for (int i = 0; i < kCommonTextCount; ++i) {
        text(i)->setFocus();
        QTest::keyClicks(text(i), QStringLiteral("O'Neil \"Big\" %1").arg(i));
        const QString expected = QStringLiteral("ONeil Big %1").arg(i);
        EXPECT_EQ(text(i)->text(), expected) << i;
        EXPECT_EQ(job().common(i), expected) << i;
    }
    EXPECT_TRUE(job().isChanged());
}

TEST_F(CommonWindowTest, PastedQuotesAreDroppedAndThePasteUndoesInOneStep)
{
    activate(window);
    QLineEdit *customer = text(0);
    customer->setFocus();
    QTest::keyClicks(customer, "Acme");
    QGuiApplication::clipboard()->setText(QStringLiteral(" 'Tools' \"Ltd\""));
    QTest::keyClick(customer, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(customer->text(), "Acme Tools Ltd");
    EXPECT_EQ(job().common(0), "Acme Tools Ltd");
    QTest::keyClick(customer, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(customer->text(), "Acme");
    EXPECT_EQ(job().common(0), "Acme");

    // The paste of the context menu and a drop go round the shortcut.
    QLineEdit *description = text(3);
    description->paste();
    EXPECT_EQ(description->text(), " Tools Ltd");
    EXPECT_EQ(job().common(3), " Tools Ltd");
}

TEST_F(CommonWindowTest, ChoicesCascadeToEveryBendOfEverySection)
{
    std::array<std::unique_ptr<SectionWindow>, kSectionCount> sections;
    for (int n = 1; n <= kSectionCount; ++n)
        sections[n - 1] = std::make_unique<SectionWindow>(editor, n);
    auto forEachVee = [&](const std::function<void(int, int, QComboBox *)> &check) {
        for (int n = 1; n <= kSectionCount; ++n) {
            for (int j = 0; j < kBendCount; ++j)
                check(n, j, child<QComboBox>(*sections[n - 1], QStringLiteral("cmbVee%1").arg(j)));
        }
    };
    activate(window);
    QComboBox *material = list("cmbMaterial");
    EXPECT_EQ(material->count(), 2);
    EXPECT_EQ(material->currentIndex(), -1);
    // Down from no choice goes to AL, down again to MS: each is a choice of the operator.
    QTest::keyClick(material, Qt::Key_Down);
    EXPECT_EQ(job().material().text(), "AL");
    QTest::keyClick(material, Qt::Key_Down);
    EXPECT_EQ(job().material().text(), "MS");
    QComboBox *thickness = list("cmbThickness");
    EXPECT_EQ(thickness->count(), 2);
    EXPECT_EQ(thickness->currentIndex(), -1);
    EXPECT_EQ(thickness->currentText(), "");

    QTest::keyClick(thickness, Qt::Key_Down);
    EXPECT_EQ(thickness->currentText(), "2");
    QComboBox *veeAll = list("cmbVeeG");
    ASSERT_EQ(veeAll->count(), 3);
    EXPECT_EQ(veeAll->currentText(), "16");
    forEachVee([](int n, int j, QComboBox *vee) {
        ASSERT_EQ(vee->count(), 3) << n << ' ' << j;
        EXPECT_EQ(vee->itemText(1), "93");
        EXPECT_EQ(vee->currentText(), "16") << n << ' ' << j;
    });

    QTest::keyClick(veeAll, Qt::Key_End);
    EXPECT_EQ(job().veeAll().text(), "10");
    forEachVee([this](int n, int j, QComboBox *vee) {
        EXPECT_EQ(vee->currentText(), "10") << n << ' ' << j;
        EXPECT_EQ(job().section(n).vee(j).text(), "10");
    });

    // A new material leaves thickness unchosen and the vees as they were.
    Q_EMIT material->activated(material->findText("AL"));
    EXPECT_EQ(material->currentText(), "AL");
    EXPECT_EQ(thickness->count(), 1);
    EXPECT_EQ(thickness->currentIndex(), -1);
    EXPECT_EQ(veeAll->currentText(), "10");
    forEachVee([](int n, int j, QComboBox *vee) {
        EXPECT_EQ(vee->currentText(), "10") << "section " << n << " bend " << j;
    });
}

TEST_F(CommonWindowTest, SectionButtonShowsItsSectionAndMarksTheSectionsInUse)
{
    activate(window);
    QSignalSpy shown(&editor, &JobEditor::shownSectionChanged);
    editor.setOutside(1, 0, "10");
    editor.setOutside(2, 0, "0");
    editor.setOutside(4, 0, "abc");
    editor.setOutside(5, 0, "5");
    // The marks wait for the next section shown.
    EXPECT_TRUE(button(5)->icon().isNull());

    QTest::mouseClick(button(3), Qt::LeftButton);
    EXPECT_EQ(editor.activeSectionIndex(), 3);
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown.at(0).at(0).toInt(), 3);
    EXPECT_EQ(focused(), button(3));
    const bool inUse[] = {true, false, false, false, true};
    for (int n = 1; n <= kSectionCount; ++n) {
        const QFont font = button(n)->font();
        EXPECT_EQ(font.bold(), n == 3) << n;
        EXPECT_EQ(font.underline(), n == 3) << n;
        EXPECT_EQ(font.pointSizeF(), n == 3 ? 10 : 9) << n;
        EXPECT_EQ(button(n)->icon().isNull(), !inUse[n - 1]) << n;
    }
    const QImage mark = button(1)->icon().pixmap(button(1)->iconSize()).toImage();
    EXPECT_EQ(mark.size(), QSize(6, 6));
    EXPECT_EQ(mark.pixelColor(3, 3), QColor(34, 177, 76));

    // Space on the focused button is a click too; the earlier button returns to regular.
    button(2)->setFocus();
    QTest::keyClick(button(2), Qt::Key_Space);
    EXPECT_EQ(editor.activeSectionIndex(), 2);
    EXPECT_TRUE(button(2)->font().underline());
    EXPECT_FALSE(button(3)->font().bold());
    EXPECT_FALSE(button(3)->font().underline());
}

TEST_F(CommonWindowTest, TabOrderRunsThroughTheTextsListsAndButtonsFiveToOne)
{
    activate(window);
    const char *order[] = {"txtcom0",      "txtcom1", "txtcom2", "txtcom3", "cmbMaterial",
                           "cmbThickness", "cmbVeeG", "cmd5",    "cmd4",    "cmd3",
                           "cmd2",         "cmd1",    "txtcom0"};
    text(0)->setFocus();
    for (const char *name : order) {
        EXPECT_EQ(nameOf(focused()), name);
        QTest::keyClick(focused(), Qt::Key_Tab);
    }
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

TEST_F(CommonWindowTest, ControlsStandWhereTheDesignPutsThemInItsFonts)
{
    EXPECT_EQ(window.windowTitle(), "Common Details");
    EXPECT_EQ(window.sizeHint(), twips(0, 0, 4230, 3075).size());
    const struct
    {
        const char *name;
        double left, top, width, height;
    } places[] = {
        {"txtcom0", 1200, 120, 2895, 390},     {"txtcom1", 1200, 600, 1575, 390},
        {"txtcom2", 3240, 600, 855, 390},      {"txtcom3", 1200, 1080, 2895, 390},
        {"cmbMaterial", 120, 1800, 1455, 390}, {"cmbThickness", 1920, 1800, 975, 390},
        {"cmbVeeG", 3240, 1800, 855, 390},     {"cmd1", 1200, 2520, 495, 420},
        {"cmd3", 2400, 2520, 495, 420},        {"cmd5", 3600, 2520, 495, 420},
    };
    for (const auto &p : places) {
        const QWidget *control = child<QWidget>(window, p.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), twips(p.left, p.top, p.width, p.height)) << p.name;
        EXPECT_EQ(control->font().family(), "Trebuchet MS") << p.name;
        // Section 1 is the current one after New: its button is bold, underlined 10 pt.
        const bool button = QByteArray(p.name).startsWith("cmd");
        const bool current = QByteArray(p.name) == "cmd1";
        EXPECT_EQ(control->font().bold(), !button || current) << p.name;
        EXPECT_EQ(control->font().pointSizeF(), current ? 10 : 9) << p.name;
    }

    const struct
    {
        const char *caption;
        double left, top, points;
    } captions[] = {
        {"Customer", 360, 120, 8.25},  {"Part No", 480, 600, 8.25},
        {"Rev", 2880, 600, 8.25},      {"Description", 120, 1080, 8.25},
        {"Material", 120, 1560, 8.25}, {"Thick mm", 1920, 1560, 8.25},
        {"Vee All", 3240, 1560, 8.25}, {"SECTIONS", 120, 2520, 9.75},
    };
    const auto labels = window.findChildren<QLabel *>();
    for (const auto &c : captions) {
        const auto it = std::find_if(labels.begin(), labels.end(),
                                     [&](QLabel *l) { return l->text() == c.caption; });
        ASSERT_NE(it, labels.end()) << c.caption;
        EXPECT_EQ((*it)->pos(), twips(c.left, c.top, 0, 0).topLeft()) << c.caption;
        EXPECT_TRUE((*it)->font().bold()) << c.caption;
        EXPECT_EQ((*it)->font().pointSizeF(), c.points) << c.caption;
        EXPECT_EQ((*it)->palette().color(QPalette::WindowText), QColor(0, 0, 128)) << c.caption;
    }
    EXPECT_EQ(labels.size(), std::size(captions));
}

TEST_F(CommonWindowTest, RedrawsFromAnOpenedJobAreNoEdits)
{
    chooseMildSteel2();
    editor.setCommonText(0, "Acme");
    editor.setCommonText(2, "B");
    editor.chooseVeeAll(1);
    const JobFileContent saved = jobFileContent(job());
    editor.newJob();
    EXPECT_EQ(text(0)->text(), "");
    EXPECT_EQ(list("cmbThickness")->count(), 0);
    EXPECT_EQ(list("cmbVeeG")->currentIndex(), -1);

    editor.openContent(saved);
    EXPECT_FALSE(job().isChanged());
    EXPECT_EQ(text(0)->text(), "Acme");
    EXPECT_EQ(text(2)->text(), "B");
    EXPECT_EQ(list("cmbMaterial")->currentText(), "MS");
    EXPECT_EQ(list("cmbThickness")->currentText(), "2");
    EXPECT_EQ(list("cmbVeeG")->currentText(), "93");
}

} // namespace
} // namespace corvane
