#include "app/undocommands.h"

#include "app/fallbackicons.h"
#include "editing/jobeditor.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolBar>

namespace corvane {

namespace {

const QKeySequence kRedoOther(Qt::CTRL | Qt::Key_Y);

bool isUndoKey(const QKeyEvent &key)
{
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
           QKeySequence(key.keyCombination()) == kRedoOther;
}

// Which of Undo, Redo and Paste an action of a box's own context menu is: a plain text edit names
// them, a line edit only says them ("&Undo", with its key after a tab unless a shortcut of the
// program has that key).
QKeySequence::StandardKey standardKeyOf(const QAction &action)
{
    const QString text = action.text().section(QLatin1Char('\t'), 0, 0);
    const QString name = action.objectName();
    if (name == QLatin1String("edit-undo") || text == QLineEdit::tr("&Undo"))
        return QKeySequence::Undo;
    if (name == QLatin1String("edit-redo") || text == QLineEdit::tr("&Redo"))
        return QKeySequence::Redo;
    if (name == QLatin1String("edit-paste") || text == QLineEdit::tr("&Paste"))
        return QKeySequence::Paste;
    return QKeySequence::UnknownKey;
}

QString keysOf(const QAction &action)
{
    QStringList keys;
    for (const QKeySequence &key : action.shortcuts())
        keys << key.toString(QKeySequence::NativeText);
    return keys.join(QStringLiteral(", "));
}

} // namespace

UndoCommands::UndoCommands(JobEditor &editor, QToolBar &toolbar, QWidget &window)
    : QObject(&window), m_editor(editor), m_window(window)
{
    toolbar.addSeparator();
    m_undo = toolbar.addAction(QIcon::fromTheme(QStringLiteral("edit-undo"), undoIcon(false)),
                               QStringLiteral("Undo"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = toolbar.addAction(QIcon::fromTheme(QStringLiteral("edit-redo"), undoIcon(true)),
                               QStringLiteral("Redo"));
    m_redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), kRedoOther});
    for (QAction *action : {m_undo, m_redo}) {
        // Also from a window of the Table command that leaves the main window open.
        action->setShortcutContext(Qt::ApplicationShortcut);
        connect(action, &QAction::triggered, this, [this, action] {
            // A keystroke still on its way lands in the job first.
            QCoreApplication::processEvents();
            if (action == m_undo)
                m_editor.undo();
            else
                m_editor.redo();
        });
    }
    connect(&m_editor, &JobEditor::jobChanged, this, [this] { refresh(); });
    qApp->installEventFilter(this);
    refresh();
}

void UndoCommands::refresh()
{
    const EditHistory::Step *undo = m_editor.undoStep();
    const EditHistory::Step *redo = m_editor.redoStep();
    m_undo->setEnabled(undo);
    m_redo->setEnabled(redo);
    m_undo->setToolTip(QStringLiteral("Undo%1 (%2)")
                           .arg(undo ? QLatin1Char(' ') + undo->what : QString(), keysOf(*m_undo)));
    m_redo->setToolTip(QStringLiteral("Redo%1 (%2)")
                           .arg(redo ? QLatin1Char(' ') + redo->what : QString(), keysOf(*m_redo)));
}

bool UndoCommands::inWindow(QObject *object) const
{
    return object->isWidgetType() && static_cast<QWidget *>(object)->window() == &m_window;
}

bool UndoCommands::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::ContextMenu)
        return false;
    const bool box = qobject_cast<QLineEdit *>(watched) || qobject_cast<QPlainTextEdit *>(watched);
    if (!box || !inWindow(watched))
        return false;
    if (type == QEvent::ContextMenu)
        return contextMenu(static_cast<QWidget *>(watched),
                           static_cast<QContextMenuEvent *>(event)->globalPos());
    const auto *key = static_cast<QKeyEvent *>(event);
    // Left unaccepted, the override lets the keys go to the buttons' shortcuts.
    if (type == QEvent::ShortcutOverride)
        return isUndoKey(*key);
    if (!key->matches(QKeySequence::Paste) || m_pasting)
        return false;
    // The box pastes as it would, inside a step of its own.
    m_pasting = true;
    m_editor.beginPaste();
    QCoreApplication::sendEvent(watched, event);
    m_editor.endPaste();
    m_pasting = false;
    return true;
}

bool UndoCommands::contextMenu(QWidget *box, const QPoint &globalPos)
{
    auto *line = qobject_cast<QLineEdit *>(box);
    auto *text = qobject_cast<QPlainTextEdit *>(box);
    QMenu *menu = line ? line->createStandardContextMenu() : text->createStandardContextMenu();
    // The menu's own Undo, Redo and Paste go to the job's history instead of the box's.
    for (QAction *action : menu->actions()) {
        const QKeySequence::StandardKey key = standardKeyOf(*action);
        if (key == QKeySequence::Undo || key == QKeySequence::Redo) {
            const bool undo = key == QKeySequence::Undo;
            action->disconnect();
            action->setEnabled(undo ? m_editor.undoStep() != nullptr
                                    : m_editor.redoStep() != nullptr);
            connect(action, &QAction::triggered, this, [this, undo] {
                if (undo)
                    m_editor.undo();
                else
                    m_editor.redo();
            });
        } else if (key == QKeySequence::Paste) {
            action->disconnect();
            connect(action, &QAction::triggered, this, [this, line, text] {
                m_editor.beginPaste();
                if (line)
                    line->paste();
                else
                    text->paste();
                m_editor.endPaste();
            });
        }
    }
    menu->exec(globalPos);
    delete menu;
    return true;
}

} // namespace corvane
