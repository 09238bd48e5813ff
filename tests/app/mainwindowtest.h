#pragma once

// A program folder with the default bend table and logo, and a main window on it whose questions
// and file dialogs are answered by the test: the main window's tests and the faults around it.

#include "app/mainwindow.h"
#include "testsupport.h"

#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace corvane::test {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : {"BendTbl.xls", "logo.png"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(CORVANE_SOURCE_DIR "/data/") + name,
                                    folder.filePath(name)));
    }

    MainWindow &window()
    {
        if (!m_window) {
            // No About window; a recovery folder of the test's own.
            m_window = std::make_unique<MainWindow>(
                MainWindow::Options{folder.path(), false, startFile, folder.filePath("recovery")});
            m_window->ask = [this](const QString &title, const QString &text, int) {
                questions << title + QStringLiteral(": ") + text;
                return answers.isEmpty() ? int(QMessageBox::No) : answers.takeFirst();
            };
            m_window->chooseFile = [this](bool save, const QString &proposed) {
                saving = save;
                return choose(proposed);
            };
            m_window->choosePdfFile = [this](const QString &proposed) {
                return choose(proposed);
            };
            m_window->offerRecovered = [this](const QString &text) {
                offers << text;
                return !takeBack.isEmpty() && takeBack.takeFirst();
            };
        }
        return *m_window;
    }

    // The window shown, its start done: any kept job offered, a job open, the recovery copy kept.
    MainWindow &started()
    {
        MainWindow &w = window();
        w.show();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.editor().activeSectionIndex() == 1; }));
        return w;
    }
    // Ends the window as a crash would: no question, no close.
    void crash() { m_window.reset(); }

    QTemporaryDir folder;
    QString startFile;     // the job file the window opens at start
    QStringList questions; // "title: text"
    QList<int> answers;    // No once they run out
    QStringList files;     // the files chosen; a cancelled dialog once they run out
    QStringList proposals;
    bool saving = false;  // whether the last file dialog was one to save with
    QStringList offers;   // the recovered jobs offered
    QList<bool> takeBack; // Open or Not now for each; Not now once they run out

private:
    QString choose(const QString &proposed)
    {
        proposals << proposed;
        return files.isEmpty() ? QString() : files.takeFirst();
    }
    std::unique_ptr<MainWindow> m_window;
};

} // namespace corvane::test
