#include "app/mainwindowtest.h"

#include "app/commonwindow.h"
#include "app/sectionwindow.h"
#include "app/undocommands.h"
#include "ground/jobfile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

namespace corvane {
namespace {

class UndoCommandsTest : public test::MainWindowTest
{
protected:
    template<typename T> T *box(const char *name)
    {
        T *found = window().commonWindow().findChild<T *>(name);
        return found ? found : window().sectionWindow(1).findChild<T *>(name);
    }
    // The keys as the operator presses them, wherever the focus is.
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    // What the operator would compare: the job's file, and the shown page with its pictures.
    QByteArray shown()
    {
        const SectionRun &run = window().editor().lastRun(1);
        QByteArray bytes = formatJobFile(jobFileContent(window().editor().job())) + run.page;
        for (const FileContent &picture : run.pictures)
            bytes += picture.bytes;
        return bytes;
    }
};

// Through the window's own boxes, lists and keys: each edit, undone with Ctrl+Z, gives back the job
// file and the page as they were, with the caret in the box; redone with Ctrl+Shift+Z or Ctrl+Y,
// those after it.
TEST_F(UndoCommandsTest, EveryEditOfTheWindowIsUndoneAndRedoneByItsKeys)
{
    // Typed text, or a key: Down in a list, Space on the check box, Ctrl+V with "7" to paste.
    struct Case
    {
        const char *box;
        const char *typed;
        Qt::Key key;
    };
    // The cascades last: another thickness or material may leave fewer vees to choose from.
    // clang-format off
    const std::vector<Case> cases{
        {"txtcom0", "Acme", {}}, {"cmbVee0", "", Qt::Key_Down}, {"cmbVeeG", "", Qt::Key_Down},
        {"txtOutside1", "5", {}}, {"txtAng1", "5", {}}, {"txtView", "END", {}},
        {"cmbRotate", "", Qt::Key_Down}, {"txtNotes", "ok", {}}, {"txtWidth", "120", {}},
        {"chkScale", "", Qt::Key_Space}, {"txtOutside2", "", Qt::Key_V},
        {"cmbThickness", "", Qt::Key_Down}, {"cmbMaterial", "", Qt::Key_Down},
    };
    // clang-format on
    MainWindow &w = started();
    test::fillWorkedExample(w.editor(), 1);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.box);
        QWidget *target = box<QWidget>(c.box);
        target->setFocus();
        const QByteArray before = shown();
        QGuiApplication::clipboard()->setText("7");
        if (*c.typed)
            QTest::keyClicks(target, c.typed);
        else
            QTest::keyClick(target, c.key,
                            c.key == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier);
        const QByteArray after = shown();
        ASSERT_NE(before, after);
        box<QWidget>("txtcom3")->setFocus(); // elsewhere
        press(Qt::Key_Z);
        EXPECT_EQ(shown(), before);
        EXPECT_EQ(QApplication::focusWidget(), target);
        press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(shown(), after);
        press(Qt::Key_Z);
        press(Qt::Key_Y);
        EXPECT_EQ(shown(), after);
    }
}

// The buttons say which step they take back or make again, and are off when there is none; a run
// of typing is one step, a paste another, also from the box's own menu.
TEST_F(UndoCommandsTest, TheButtonsNameTheStepAndTypingRunsAndPastesAreStepsOfTheirOwn)
{
    MainWindow &w = started();
    QAction *undo = w.undoCommands().undoAction();
    QAction *redo = w.undoCommands().redoAction();
    EXPECT_EQ(undo->toolTip(), "Undo (Ctrl+Z)");

    auto *flange = box<QLineEdit>("txtOutside0");
    flange->setFocus();
    QTest::keyClicks(flange, "12");
    QGuiApplication::clipboard()->setText("3");
    QTest::keyClick(flange, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClicks(flange, "4");
    EXPECT_EQ(undo->toolTip(), "Undo typing in flange 1 of section 1 (Ctrl+Z)");
    undo->trigger();
    EXPECT_EQ(flange->text(), "123");
    EXPECT_EQ(undo->toolTip(), "Undo paste into flange 1 of section 1 (Ctrl+Z)");
    EXPECT_EQ(redo->toolTip(), "Redo typing in flange 1 of section 1 (Ctrl+Shift+Z, Ctrl+Y)");
    undo->trigger();
    EXPECT_EQ(flange->text(), "12");
    // The box's own menu: its Paste is a step of the job's, its Undo the job's Undo.
    const auto fromMenu = [flange](int entry) {
        QTimer::singleShot(0, [entry] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            menu->actions().at(entry)->trigger();
            menu->close();
        });
        QContextMenuEvent key(QContextMenuEvent::Keyboard, {2, 2},
                              flange->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(flange, &key);
    };
    fromMenu(5); // Paste, "3" again
    EXPECT_EQ(undo->toolTip(), "Undo paste into flange 1 of section 1 (Ctrl+Z)");
    fromMenu(0);
    fromMenu(0);
    EXPECT_EQ(flange->text(), "");
    EXPECT_FALSE(undo->isEnabled());
}

} // namespace
} // namespace corvane
