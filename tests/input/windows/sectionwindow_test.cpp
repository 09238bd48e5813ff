#include "input/windows/sectionwindow.h"

#include "input/windows/twips.h"
#include "inputwindowtest.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

namespace corvane {
namespace {

class SectionWindowTest : public test::InputWindowTest
{
protected:
    SectionWindow window{editor, 1};

    template<typename T = QWidget> T *control(const QString &name) const
    {
        return child<T>(window, name);
    }
    QLineEdit *flange(int i) const
    {
        return control<QLineEdit>(QStringLiteral("txtOutside%1").arg(i));
    }
    QLineEdit *angle(int j) const { return control<QLineEdit>(QStringLiteral("txtAng%1").arg(j)); }
    QComboBox *vee(int j) const { return control<QComboBox>(QStringLiteral("cmbVee%1").arg(j)); }
    QPlainTextEdit *notes() const { return control<QPlainTextEdit>("txtNotes"); }

    // Types text into a box that has the focus, as the operator does.
    static void type(QWidget *box, const QString &text)
    {
        box->setFocus();
        QTest::keyClicks(box, text);
    }
    int px(double twips) const { return Twips::toPixels(twips, window.logicalDpiY()); }
};

TEST_F(SectionWindowTest, TypedLengthsAndAnglesRewriteThePage)
{
    chooseMildSteel2();
    activate(window);
    QSignalSpy written(&editor, &JobEditor::pageWritten);
    type(flange(0), "50");
    EXPECT_EQ(job().section(1).outside(0), "50");
    EXPECT_EQ(written.count(), 2);
    type(flange(1), "100");
    type(flange(2), "50");
    type(angle(0), "90");
    type(angle(1), "90");
    EXPECT_EQ(job().section(1).angle(1), "90");
    EXPECT_TRUE(pageBytes(1).contains("Total : 192.36"));
    EXPECT_TRUE(job().isChanged());
}

TEST_F(SectionWindowTest, AnglesAreBroughtIntoRangeInTheirBox)
{
    activate(window);
    const std::pair<const char *, const char *> cases[] = {
        {"190", "-170"}, {"180", "0"}, {"-180", "-180"}, {"540", "0"}, {"-400", "-40"},
    };
    int j = 0;
    for (const auto &[typed, shown] : cases) {
        type(angle(j), typed);
        EXPECT_EQ(angle(j)->text(), shown) << typed;
        EXPECT_EQ(job().section(1).angle(j), shown) << typed;
        ++j;
    }
    // The box shows each step as it is typed: "19" stays until the "0" makes it -170.
    type(angle(j), "19");
    EXPECT_EQ(angle(j)->text(), "19");
}

TEST_F(SectionWindowTest, QuotesCanNeitherBeTypedNorPasted)
{
    activate(window);
    for (const QString &name :
         {QStringLiteral("txtOutside4"), QStringLiteral("txtAng3"), QStringLiteral("txtView")}) {
        type(control(name), "1'2\"3");
        EXPECT_EQ(control<QLineEdit>(name)->text(), "123") << name.toStdString();
    }
    EXPECT_EQ(job().section(1).outside(4), "123");
    EXPECT_EQ(job().section(1).angle(3), "123");
    EXPECT_EQ(job().section(1).view(), "123");

    type(notes(), "it's \"x\"");
    EXPECT_EQ(notes()->toPlainText(), "its x");
    EXPECT_EQ(job().section(1).notes(), "its x");

    QGuiApplication::clipboard()->setText(QStringLiteral("a'b\"c\nd"));
    QTest::keyClick(notes(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(notes()->toPlainText(), "its xabc\nd");
    EXPECT_EQ(job().section(1).notes(), "its xabc\r\nd");
    // The paste and the quotes it lost are one step.
    QTest::keyClick(notes(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(notes()->toPlainText(), "its x");
    EXPECT_EQ(job().section(1).notes(), "its x");

    // The context menu's paste goes round the key filter.
    notes()->paste();
    EXPECT_EQ(job().section(1).notes(), "its xabc\r\nd");
    control<QLineEdit>("txtView")->paste();
    EXPECT_EQ(job().section(1).view(), "123abc\nd");
}

TEST_F(SectionWindowTest, NotesKeepCrLfInTheJobAndLineFeedsInTheBox)
{
    activate(window);
    type(notes(), "first");
    QTest::keyClick(notes(), Qt::Key_Return);
    QTest::keyClicks(notes(), "second");
    EXPECT_EQ(job().section(1).notes(), "first\r\nsecond");

    editor.setNotes(1, "one\r\ntwo\r\nthree");
    EXPECT_EQ(notes()->toPlainText(), "one\ntwo\nthree");
    // Tab leaves the notes instead of going into them.
    QTest::keyClick(notes(), Qt::Key_Tab);
    EXPECT_NE(focused(), notes());
    EXPECT_EQ(notes()->toPlainText(), "one\ntwo\nthree");
    EXPECT_EQ(notes()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(SectionWindowTest, UndoInAFlangeBoxWorksAfterTyping)
{
    editor.setOutside(1, 0, "7");
    activate(window);
    flange(0)->setFocus();
    QTest::keyClick(flange(0), Qt::Key_End);
    QTest::keyClicks(flange(0), "50");
    EXPECT_EQ(job().section(1).outside(0), "750");
    QTest::keyClick(flange(0), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(flange(0)->text(), "7");
    EXPECT_EQ(job().section(1).outside(0), "7");
    // Typing goes on where the caret was, not at a place a redraw put it.
    QTest::keyClick(flange(0), Qt::Key_Home);
    QTest::keyClicks(flange(0), "1");
    EXPECT_EQ(job().section(1).outside(0), "17");
    QTest::keyClicks(flange(0), "2");
    EXPECT_EQ(job().section(1).outside(0), "127");
}

TEST_F(SectionWindowTest, VeeBoxTurnsRedForAVeeTooWideForItsFlanges)
{
    chooseMildSteel2();
    editor.setOutside(1, 0, "50");
    editor.setOutside(1, 1, "100");
    editor.setOutside(1, 2, "50");
    editor.setAngle(1, 0, "90");
    editor.setAngle(1, 1, "90");
    activate(window);
    // The shares of a box's pixels that are the red of a vee too wide, and that are dark (its
    // text and arrow).
    auto shares = [](QWidget *box) {
        const QImage image = box->grab().toImage();
        int red = 0;
        int dark = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                red += c == QColor(255, 0, 0) ? 1 : 0;
                dark += c.lightness() < 60 ? 1 : 0;
            }
        }
        const double all = image.width() * image.height();
        return std::pair{red / all, dark / all};
    };
    EXPECT_EQ(shares(vee(1)).first, 0);

    // 16 to 93: one step down the list.
    QTest::keyClick(vee(1), Qt::Key_Down);
    EXPECT_EQ(job().section(1).vee(1).text(), "93");
    ASSERT_TRUE(job().section(1).veeRed(1));
    const auto [red, dark] = shares(vee(1));
    EXPECT_GT(red, 0.5);
    EXPECT_GT(dark, 0.02); // "93" and the arrow stay readable on the red
    EXPECT_EQ(shares(vee(0)).first, 0);

    QTest::keyClick(vee(1), Qt::Key_Up);
    EXPECT_FALSE(job().section(1).veeRed(1));
    EXPECT_EQ(shares(vee(1)).first, 0);
}

TEST_F(SectionWindowTest, BendMarkerFollowsTheFocus)
{
    activate(window);
    EXPECT_EQ(window.markedBend(), 0);
    const std::pair<QString, int> cases[] = {
        {"txtOutside3", 2}, {"txtOutside10", 9}, {"txtOutside1", 0}, // flange i: i - (i mod 2)
        {"txtOutside8", 8}, {"txtOutside9", 8},  {"cmbVee7", 7},
        {"txtAng4", 4},     {"txtAng9", 9},      {"cmbVee0", 0},
    };
    for (const auto &[name, bend] : cases) {
        control(name)->setFocus();
        EXPECT_EQ(window.markedBend(), bend) << name.toStdString();
    }

    // Drawn in light grey left of the angle box, with the strokes towards the two flanges.
    QWidget *rows = flange(0)->parentWidget();
    auto colourAt = [&](double x, double y) {
        return rows->grab().toImage().pixelColor(px(x), px(y));
    };
    const QColor grey(192, 192, 192);
    control("txtAng2")->setFocus();
    const double y2 = 1980 + 2 * 452.4 + 195;
    EXPECT_EQ(colourAt(1300, y2), grey);
    EXPECT_EQ(colourAt(1080, y2), grey);
    const double y5 = 1980 + 5 * 452.4 + 195;
    EXPECT_NE(colourAt(1300, y5), grey);
    control("txtAng5")->setFocus();
    EXPECT_EQ(colourAt(1300, y5), grey);
    EXPECT_NE(colourAt(1300, y2), grey);
}

TEST_F(SectionWindowTest, TabRunsDownTheRowsAndOnToViewRotateScaleAndNotes)
{
    activate(window);
    QStringList order;
    for (int i = 0; i < kFlangeCount; ++i) {
        order << QStringLiteral("txtOutside%1").arg(i);
        if (i < kBendCount)
            order << QStringLiteral("txtAng%1").arg(i) << QStringLiteral("cmbVee%1").arg(i);
    }
    order << "txtView"
          << "cmbRotate"
          << "chkScale"
          << "txtNotes";
    window.focusFirstFlange();
    for (const QString &name : order) {
        EXPECT_EQ(nameOf(focused()), name.toStdString());
        QTest::keyClick(focused(), Qt::Key_Tab);
    }
}

TEST_F(SectionWindowTest, EveryRowStandsItsStepBelowTheOneBefore)
{
    EXPECT_EQ(window.windowTitle(), "Section Details");
    // top(i) = top(i - 1) + 1.16 x height: flanges every 417.6 twips, angles and vees every 452.4.
    for (int i = 0; i < kFlangeCount; ++i) {
        EXPECT_EQ(flange(i)->geometry(), QRect(px(120), px(1800 + i * 417.6), px(855), px(360)))
            << i;
    }
    for (int j = 0; j < kBendCount; ++j) {
        EXPECT_EQ(angle(j)->geometry(), QRect(px(1680), px(1980 + j * 452.4), px(855), px(390)))
            << j;
        const QRect expected(px(3240), px(2000 + j * 452.4), px(855), px(390));
        EXPECT_EQ(vee(j)->geometry(), expected) << j;
    }
    const struct
    {
        const char *name;
        double left, top, width, height;
    } places[] = {
        {"txtView", 600, 120, 855, 390},
        {"cmbRotate", 2160, 120, 855, 390},
        {"chkScale", 3120, 240, 1095, 240},
        {"txtNotes", 600, 650, 3495, 615},
    };
    for (const auto &p : places) {
        EXPECT_EQ(control(p.name)->geometry(),
                  QRect(px(p.left), px(p.top), px(p.width), px(p.height)))
            << p.name;
    }
    // Wide as the design and a scroll bar beside it, tall enough for flange 10 (from 5976 twips).
    EXPECT_EQ(window.sizeHint().width(),
              px(4230) +
                  window.findChild<QScrollArea *>()->verticalScrollBar()->sizeHint().width());
    EXPECT_GE(window.sizeHint().height(), px(5976 + 360));
}

TEST_F(SectionWindowTest, CaptionsAndBoxesHaveTheDesignsFonts)
{
    const struct
    {
        const char *caption;
        double left, top;
    } captions[] = {
        {"View", 120, 120},  {"Rotate deg", 1560, 120},        {"Notes", 120, 650},
        {"Vee", 3240, 1680}, {"Flange Outside mm", 120, 1320}, {"Bend Angle deg", 1680, 1440},
    };
    const auto labels = window.findChildren<QLabel *>();
    EXPECT_EQ(labels.size(), std::size(captions));
    for (const auto &c : captions) {
        const auto it = std::find_if(labels.begin(), labels.end(),
                                     [&](QLabel *l) { return l->text() == c.caption; });
        ASSERT_NE(it, labels.end()) << c.caption;
        EXPECT_EQ((*it)->pos(), QPoint(px(c.left), px(c.top))) << c.caption;
        EXPECT_EQ((*it)->font().family(), "Trebuchet MS");
        EXPECT_EQ((*it)->font().pointSizeF(), 8.25);
        EXPECT_TRUE((*it)->font().bold());
        EXPECT_EQ((*it)->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    }
    auto *scale = control<QCheckBox>("chkScale");
    EXPECT_EQ(scale->text(), "1:1 Scale");
    EXPECT_EQ(scale->font().pointSizeF(), 8.25);
    EXPECT_EQ(scale->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    for (const char *name :
         {"txtOutside10", "txtAng9", "cmbVee0", "txtView", "cmbRotate", "txtNotes"}) {
        EXPECT_EQ(control(name)->font().family(), "Trebuchet MS") << name;
        EXPECT_EQ(control(name)->font().pointSizeF(), 9) << name;
        EXPECT_TRUE(control(name)->font().bold()) << name;
    }
}

TEST_F(SectionWindowTest, AShortWindowScrollsToTheFocusedRow)
{
    window.resize(window.sizeHint().width(), window.sizeHint().height() / 3);
    activate(window);
    auto *scroll = window.findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    const QRect viewport = scroll->viewport()->rect();
    auto inView = [&](QWidget *w) {
        return viewport.contains(QRect(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size()));
    };
    window.focusFirstFlange();
    EXPECT_TRUE(inView(flange(0)));
    EXPECT_FALSE(inView(flange(10)));
    // Tab down to flange 10, and a click-free jump back up.
    while (focused() != flange(10) && focused() != nullptr && focused() != notes())
        QTest::keyClick(focused(), Qt::Key_Tab);
    EXPECT_TRUE(inView(flange(10)));
    EXPECT_GT(scroll->verticalScrollBar()->value(), 0);
    window.focusFirstFlange();
    EXPECT_TRUE(inView(flange(0)));
    angle(9)->setFocus();
    EXPECT_TRUE(inView(angle(9)));
}

TEST_F(SectionWindowTest, ViewRotateAndScaleAreEditsOfTheirSection)
{
    SectionWindow second(editor, 2);
    activate(second);
    type(child<QLineEdit>(second, "txtView"), "Side");
    EXPECT_EQ(job().section(2).view(), "Side");
    EXPECT_EQ(job().section(1).view(), "");

    auto *rotate = child<QComboBox>(second, "cmbRotate");
    EXPECT_EQ(rotate->count(), 8);
    EXPECT_EQ(rotate->currentIndex(), -1);
    QTest::keyClick(rotate, Qt::Key_Down);
    QTest::keyClick(rotate, Qt::Key_Down);
    EXPECT_EQ(job().section(2).rotate().text(), "45");

    auto *scale = child<QCheckBox>(second, "chkScale");
    EXPECT_TRUE(scale->isChecked());
    scale->setFocus();
    QTest::keyClick(scale, Qt::Key_Space);
    EXPECT_EQ(job().section(2).scale(), 0);
    editor.setScale(2, 1);
    EXPECT_TRUE(scale->isChecked());
}

TEST_F(SectionWindowTest, WheelOverAListNotInUseScrollsInsteadOfChoosing)
{
    chooseMildSteel2();
    window.resize(window.sizeHint().width(), window.sizeHint().height() / 3);
    activate(window);
    auto *vee = child<QComboBox>(window, "cmbVee2");
    const QPoint inside = vee->rect().center();
    QWheelEvent wheel(inside, vee->mapToGlobal(inside), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vee, &wheel);
    EXPECT_EQ(job().section(1).vee(2).text(), "16");
    EXPECT_GT(window.findChild<QScrollArea *>()->verticalScrollBar()->value(), 0);
    // In the list, the wheel chooses as it always does.
    vee->setFocus();
    QApplication::sendEvent(vee, &wheel);
    EXPECT_EQ(job().section(1).vee(2).text(), "93");
}

TEST_F(SectionWindowTest, RedrawsFromAnOpenedJobAreNoEdits)
{
    std::array<std::unique_ptr<SectionWindow>, kSectionCount> sections;
    for (int n = 1; n <= kSectionCount; ++n)
        sections[n - 1] = std::make_unique<SectionWindow>(editor, n);
    chooseMildSteel2();
    editor.setOutside(3, 0, "40");
    editor.setAngle(3, 0, "200");
    editor.chooseVee(3, 0, 2);
    editor.setView(3, "Top");
    editor.chooseRotate(3, 3);
    editor.setScale(3, 0);
    editor.setNotes(3, "a\r\nb");
    const JobFileContent saved = jobFileContent(job());

    editor.openContent(saved);
    EXPECT_FALSE(job().isChanged());
    const SectionWindow &third = *sections[2];
    EXPECT_EQ(child<QLineEdit>(third, "txtOutside0")->text(), "40");
    EXPECT_EQ(child<QLineEdit>(third, "txtAng0")->text(), "-160");
    EXPECT_EQ(child<QComboBox>(third, "cmbVee0")->currentText(), "10");
    EXPECT_EQ(child<QComboBox>(third, "cmbVee1")->currentText(), "16");
    EXPECT_EQ(child<QLineEdit>(third, "txtView")->text(), "Top");
    EXPECT_EQ(child<QComboBox>(third, "cmbRotate")->currentText(), "135");
    EXPECT_FALSE(child<QCheckBox>(third, "chkScale")->isChecked());
    EXPECT_EQ(child<QPlainTextEdit>(third, "txtNotes")->toPlainText(), "a\nb");

    editor.newJob();
    EXPECT_FALSE(job().isChanged());
    EXPECT_EQ(child<QPlainTextEdit>(third, "txtNotes")->toPlainText(), "");
    EXPECT_TRUE(child<QCheckBox>(third, "chkScale")->isChecked());
    EXPECT_EQ(child<QComboBox>(third, "cmbVee0")->count(), 0);
}

} // namespace
} // namespace corvane
