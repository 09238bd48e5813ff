#pragma once

// What the tests of the input windows share: an editor over a small bend table in a temporary
// folder, helpers to reach a window's controls by name and to act on them as the operator would,
// and a watchdog that fails a test instead of letting a modal window block it.

#include "input/editing/jobeditor.h"
#include "testsupport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace corvane::test {

class InputWindowTest : public ::testing::Test
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
        editor.newJob();
    }

    // MS 2: vees 16 (the standard one), 93 and 10; MS 3: vee 20; AL 1: vee 6.
    static std::shared_ptr<const BendTable> shopTable()
    {
        static const auto table = std::make_shared<const BendTable>(std::vector<BendRecord>{
            bendRecord("MS", 2, 16, 0.33, 2, "YES"),
            bendRecord("MS", 2, 93, 0.33, 2),
            bendRecord("MS", 2, 10, 0.33, 2),
            bendRecord("MS", 3, 20, 0.4, 3, "YES"),
            bendRecord("AL", 1, 6, 0.3, 1, "YES"),
        });
        return table;
    }

    const Job &job() const { return editor.job(); }
    QByteArray pageBytes(int n) const
    {
        return readBytes(dir.filePath(QStringLiteral("temp/wb%1.htm").arg(n)));
    }

    // Material MS and thickness 2 chosen through the editor: every vee list holds 16, 93 and 10.
    void chooseMildSteel2()
    {
        editor.chooseMaterial(job().material().items().indexOf("MS"));
        editor.chooseThickness(job().thickness().items().indexOf("2"));
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

    QTemporaryDir dir;
    std::shared_ptr<const BendTable> table = shopTable();
    JobEditor editor{[this] { return table; },
                     PageOptions{LengthUnit::Millimetre, false, dir.path(), dir.filePath("temp")}};

private:
    QTimer m_watchdog;
};

} // namespace corvane::test
