#include "app/sectionwindow.h"

#include "inputwindowtest.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
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
    QComboBox *vee(int j) const { return control<QComboBox>(QStringLiteral("cmbVee%1").arg(j)); }
    QPlainTextEdit *notes() const { return control<QPlainTextEdit>("txtNotes"); }

    // Types text into a box that has the focus, as the operator does.
    static void type(QWidget *box, const QString &text)
    {
        box->setFocus();
        QTest::keyClicks(box, text);
    }
};

TEST_F(SectionWindowTest, WhatIsTypedReachesTheSection)
{
    chooseMildSteel2();
    SectionWindow second(editor, 2);
    activate(second);
    editor.showSection(2);
    for (int k = 0; k < 3; ++k)
        type(child<QWidget>(second, QStringLiteral("txtOutside%1").arg(k)), k == 1 ? "100" : "50");
    type(child<QWidget>(second, "txtAng0"), "90");
    type(child<QWidget>(second, "txtView"), "Side");
    auto *rotate = child<QComboBox>(second, "cmbRotate");
    QTest::keyClick(rotate, Qt::Key_Down);
    QTest::keyClick(rotate, Qt::Key_Down);
    type(child<QCheckBox>(second, "chkScale"), " ");
    auto *notes = child<QPlainTextEdit>(second, "txtNotes");
    type(notes, "first");
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, "second");

    const Section &section = job().section(2);
    EXPECT_EQ(section.outside(2), "50");
    EXPECT_EQ(section.angle(0), "90");
    EXPECT_EQ(section.view(), "Side");
    EXPECT_EQ(section.rotate().text(), "45");
    EXPECT_EQ(section.scale(), 0);
    EXPECT_EQ(section.notes(), "first\r\nsecond");
    EXPECT_TRUE(job().section(1).view().isEmpty()); // nothing of section 1
    // Tab leaves the notes for the blank's width, which takes what is typed as the others do.
    QTest::keyClick(notes, Qt::Key_Tab);
    EXPECT_EQ(nameOf(focused()), "txtWidth");
    QTest::keyClicks(focused(), "25\"0");
    EXPECT_EQ(section.width(), "250");
}

// Every box and list has its place in the rows: none lies over another, none beyond the rows.
TEST_F(SectionWindowTest, NoControlLiesOverAnotherOrBeyondTheRows)
{
    const QWidget *rows = window.findChild<QScrollArea *>()->widget();
    QList<QWidget *> controls;
    for (QWidget *child : rows->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!qobject_cast<QLabel *>(child))
            controls << child;
    }
    ASSERT_EQ(controls.size(), 36);
    // Each row 1.16 flange heights (360 twips, 24 pixels) below the one before.
    EXPECT_NEAR(flange(10)->y() - flange(0)->y(), 10 * 1.16 * 24, 1);
    for (qsizetype a = 0; a < controls.size(); ++a) {
        const QRect place = controls[a]->geometry();
        EXPECT_TRUE(rows->rect().adjusted(0, 0, 1, 1).contains(place)) << nameOf(controls[a]);
        const bool box = !qobject_cast<QCheckBox *>(controls[a]); // each in the design's face
        EXPECT_TRUE(!box || controls[a]->font() == flange(0)->font()) << nameOf(controls[a]);
        for (qsizetype b = a + 1; b < controls.size(); ++b)
            EXPECT_FALSE(place.intersects(controls[b]->geometry()))
                << nameOf(controls[a]) << " " << nameOf(controls[b]);
    }
}

TEST_F(SectionWindowTest, QuotesCanNeitherBeTypedNorPasted)
{
    editor.setOutside(1, 0, "7");
    activate(window);
    flange(0)->setFocus();
    // Typing goes on where the caret was, not at a place a redraw put it.
    QTest::keyClick(flange(0), Qt::Key_Home);
    QTest::keyClicks(flange(0), "1'2\"");
    EXPECT_EQ(flange(0)->text(), "127");
    EXPECT_EQ(job().section(1).outside(0), "127");
    type(notes(), "it's \"x\"");
    EXPECT_EQ(job().section(1).notes(), "its x");

    QGuiApplication::clipboard()->setText(QStringLiteral("a'b\"c\nd"));
    QTest::keyClick(notes(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(job().section(1).notes(), "its xabc\r\nd");
    control<QLineEdit>("txtView")->paste();
    EXPECT_EQ(job().section(1).view(), "abc\nd");
}

TEST_F(SectionWindowTest, VeeBoxTurnsRedForAVeeTooWideForItsFlanges)
{
    fillWorkedExample();
    activate(window);
    // The shares of a box's pixels that are the red of a vee too wide, and that are dark (its
    // text and arrow).
    auto shares = [](QWidget *box) {
        const QImage image = box->grab().toImage();
        const double all = image.width() * image.height();
        std::pair<double, double> share;
        for (int i = 0; i < all; ++i) {
            const QColor c = image.pixelColor(i % image.width(), i / image.width());
            share.first += (c == QColor(255, 0, 0)) / all;
            share.second += (c.lightness() < 60) / all;
        }
        return share;
    };
    EXPECT_EQ(shares(vee(1)).first, 0);
    // 16 to 93: one step down the list.
    QTest::keyClick(vee(1), Qt::Key_Down);
    const auto [red, dark] = shares(vee(1));
    EXPECT_GT(red, 0.5);
    EXPECT_GT(dark, 0.02); // "93" and the arrow stay readable on the red
    QTest::keyClick(vee(1), Qt::Key_Up);
    EXPECT_EQ(shares(vee(1)).first, 0);
}

TEST_F(SectionWindowTest, TabRunsDownTheRowsAndTheBendMarkerFollows)
{
    activate(window);
    // Flanges 0 and 1 mark bend 0, 2 and 3 bend 2, ..., flange 10 the last bend; an angle or a
    // vee its own.
    const int flangeMarks[kFlangeCount] = {0, 0, 2, 2, 4, 4, 6, 6, 8, 8, 9};
    std::vector<std::pair<QString, int>> order;
    for (int i = 0; i < kFlangeCount; ++i) {
        order.push_back({QStringLiteral("txtOutside%1").arg(i), flangeMarks[i]});
        if (i < kBendCount) {
            order.push_back({QStringLiteral("txtAng%1").arg(i), i});
            order.push_back({QStringLiteral("cmbVee%1").arg(i), i});
        }
    }
    for (const char *name : {"txtView", "cmbRotate", "chkScale", "txtNotes"})
        order.push_back({QString::fromLatin1(name), 9});
    window.focusFirstFlange();
    for (const auto &[name, bend] : order) {
        EXPECT_EQ(nameOf(focused()), name.toStdString());
        EXPECT_EQ(window.markedBend(), bend) << name.toStdString();
        QTest::keyClick(focused(), Qt::Key_Tab);
    }
}

TEST_F(SectionWindowTest, AShortWindowScrollsToTheFocusAndTheWheelOverAListScrollsToo)
{
    chooseMildSteel2();
    window.resize(window.sizeHint().width(), window.sizeHint().height() / 3);
    activate(window);
    auto *scroll = window.findChild<QScrollArea *>();
    const QRect viewport = scroll->viewport()->rect();
    auto inView = [&](QWidget *w) {
        return viewport.contains(QRect(w->mapTo(scroll->viewport(), QPoint(0, 0)), w->size()));
    };
    EXPECT_FALSE(inView(flange(10)));
    flange(10)->setFocus();
    EXPECT_TRUE(inView(flange(10)));
    window.focusFirstFlange();
    EXPECT_TRUE(inView(flange(0)));

    // The wheel over a list that the operator is not in scrolls the rows, choosing nothing.
    const QPoint inside = vee(2)->rect().center();
    QWheelEvent wheel(inside, vee(2)->mapToGlobal(inside), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    const int before = scroll->verticalScrollBar()->value();
    QApplication::sendEvent(vee(2), &wheel);
    EXPECT_EQ(job().section(1).vee(2).text(), "16");
    EXPECT_GT(scroll->verticalScrollBar()->value(), before);
    vee(2)->setFocus();
    QApplication::sendEvent(vee(2), &wheel);
    EXPECT_EQ(job().section(1).vee(2).text(), "93");
}

// Moved to a screen of another pixel density, the window lays its rows out again for it.
TEST_F(SectionWindowTest, AScreenChangeLaysTheRowsOutAgain)
{
    activate(window);
    const QRect place = flange(10)->geometry();
    QWidget *rows = flange(10)->parentWidget();
    const QSize size = rows->size();
    flange(10)->setGeometry(0, 0, 5, 5);
    rows->setFixedSize(size / 2);
    QEvent changed(QEvent::ScreenChangeInternal);
    QApplication::sendEvent(&window, &changed);
    EXPECT_EQ(flange(10)->geometry(), place);
    EXPECT_EQ(rows->size(), size);
}

TEST_F(SectionWindowTest, RedrawsFromAnOpenedJobAreNoEdits)
{
    SectionWindow third(editor, 3);
    chooseMildSteel2();
    editor.setOutside(3, 0, "40");
    editor.setAngle(3, 0, "200");
    editor.chooseVee(3, 0, 2);
    editor.setView(3, "Top");
    editor.chooseRotate(3, 3);
    editor.setScale(3, 0);
    editor.setNotes(3, "a\r\nb");
    editor.openContent(jobFileContent(job()));
    EXPECT_FALSE(job().isChanged());
    EXPECT_EQ(child<QLineEdit>(third, "txtAng0")->text(), "-160");
    EXPECT_EQ(child<QComboBox>(third, "cmbVee0")->currentText(), "10");
    EXPECT_EQ(child<QComboBox>(third, "cmbRotate")->currentText(), "135");
    EXPECT_FALSE(child<QCheckBox>(third, "chkScale")->isChecked());
    EXPECT_EQ(child<QPlainTextEdit>(third, "txtNotes")->toPlainText(), "a\nb");

    editor.newJob();
    EXPECT_FALSE(job().isChanged());
    EXPECT_EQ(child<QPlainTextEdit>(third, "txtNotes")->toPlainText(), "");
    EXPECT_EQ(child<QComboBox>(third, "cmbVee0")->count(), 0);
}

} // namespace
} // namespace corvane
