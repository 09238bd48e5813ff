#pragma once

// Undo and Redo of the job: two toolbar buttons, their keys wherever the focus is in the main
// window, and the Undo and Redo of the boxes' own context menus, which all go to the job's history
// (editing/edithistory.h). A box's own undo knows nothing of the job, and a text set from code
// empties it, so the boxes of the main window hand Ctrl+Z and its kin to these commands. A paste,
// by key or by the context menu, is a step of its own.

#include <QObject>

class QAction;
class QToolBar;
class QWidget;

namespace corvane {

class JobEditor;

class UndoCommands : public QObject
{
    Q_OBJECT

public:
    // The buttons go at the end of toolbar; the keys work in every box of window.
    UndoCommands(JobEditor &editor, QToolBar &toolbar, QWidget &window);

    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The buttons enabled, and their tips naming the step, as the history now stands.
    void refresh();
    bool inWindow(QObject *object) const;
    bool contextMenu(QWidget *box, const QPoint &globalPos);

    JobEditor &m_editor;
    QWidget &m_window;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    bool m_pasting = false;
};

} // namespace corvane
