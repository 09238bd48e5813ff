#pragma once

// What the tests of the input windows share: the editor of the editing tests, helpers to reach a
// window's controls by name and to act on them as the operator would, and a watchdog that fails a
// test instead of letting a modal window block it.

#include "editing/editortest.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace corvane::test {

class InputWindowTest : public EditorTest
{
protected:
    InputWindowTest()
    {
        QObject::connect(&m_watchdog, &QTimer::timeout, [] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a modal window would have blocked the test: "
                              << modal->windowTitle().toStdString();
                modal->close();
            }
        });
        m_watchdog.start(200);
    }

    // Shows the window and makes it the active one, so that its controls take the focus.
    static void activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    template<typename T> static T *child(const QWidget &window, const QString &name)
    {
        T *found = window.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    static QWidget *focused() { return QApplication::focusWidget(); }
    static std::string nameOf(const QObject *object)
    {
        return object ? object->objectName().toStdString() : std::string("(none)");
    }

private:
    QTimer m_watchdog;
};

} // namespace corvane::test
