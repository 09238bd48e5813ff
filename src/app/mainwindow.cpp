#include "app/mainwindow.h"

#include "app/aboutwindow.h"
#include "app/afterfirstpaint.h"
#include "app/busycursor.h"
#include "app/commonwindow.h"
#include "app/documentcommands.h"
#include "app/fallbackicons.h"
#include "app/previewpane.h"
#include "app/printcommands.h"
#include "app/recentfilesmenu.h"
#include "app/screenfit.h"
#include "app/sectionwindow.h"
#include "app/tablestatus.h"
#include "app/tablecommands.h"
#include "app/timedend.h"
#include "app/undocommands.h"
#include "ground/maker.h"
#include "ground/twips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace corvane {

namespace {

QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback, const QStyle *style)
{
    return QIcon::fromTheme(QString::fromLatin1(name), style->standardIcon(fallback));
}

} // namespace

MainWindow::MainWindow(Options options, QWidget *parent)
    : QMainWindow(parent), OperatorDialogs(OperatorDialogs::standard(this)),
      m_options(std::move(options)), m_tableSource(bendTablePath(m_options.programFolder))
{
    // The temp folder of generated pages; one left from an earlier run is kept as it is.
    QDir().mkpath(tempFolder());
    m_editor = std::make_unique<JobEditor>(
        [this] { return m_tableSource.table(); },
        PageOptions{LengthUnit::Millimetre, false, m_options.programFolder, tempFolder()});
    m_documents = new DocumentCommands(*m_editor, *this, this);
    connect(m_documents, &DocumentCommands::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_documents, &DocumentCommands::jobStarted, this, [this] { layoutWindows(); });

    setWindowTitle(maker::kProduct);
    createActions();
    m_undo = new UndoCommands(*m_editor, *m_toolbar, *this);
    createStrip();
    m_printing = new PrintCommands(*m_editor, *m_documents, *this, *m_toolbar, tempFolder(), this);

    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_mdi = new QMdiArea(central);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_preview = new PreviewPane(central);
    layout->addWidget(m_mdi);
    layout->addWidget(m_preview, 1);
    setCentralWidget(central);

    m_status = new QLabel(this);
    m_status->setMinimumWidth(120);
    m_status->setContentsMargins(0, 0, 16, 0); // apart from the second panel
    m_tableStatus = new TableStatus(m_tableSource, this);
    statusBar()->addWidget(m_status);
    statusBar()->addWidget(m_tableStatus, 1);
    m_recovery =
        new RecoveryKeeper(*m_editor, *m_documents, RecoveryFolder(m_options.recoveryFolder), this);
    m_recovery->showProblemsIn(*statusBar());
    connect(m_printing, &PrintCommands::statusMessage, m_status, &QLabel::setText);
    connect(m_documents, &DocumentCommands::statusMessage, m_status, &QLabel::setText);
    m_tables = new TableCommands(m_options.programFolder, m_tableSource, *m_editor, *this,
                                 *m_tableStatus, this);

    createWindows();
    connectEditor();
    m_timedEnd = new TimedEnd([this] { timedEnd(); }, this);

    // Within the screen it opens on: a shop-floor screen of 1366 by 768 shows all of it.
    fitToScreen(*this, QSize(1280, 860));
}

MainWindow::~MainWindow()
{
    disconnect(m_focusWatch); // the focus leaves the controls while QWidget's destructor runs
}

void MainWindow::connectEditor()
{
    connect(m_editor.get(), &JobEditor::statusChanged, m_status, &QLabel::setText);
    // The workbook may be edited, replaced or removed while the program runs: after each run the
    // second panel says how the table now stands, so that a broken table is named where it broke.
    connect(m_editor.get(), &JobEditor::statusChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            m_tableStatus->refresh();
    });
    connect(m_editor.get(), &JobEditor::pageWritten, this,
            [this](int n, const QUrl &url, const QString &error) {
                if (n != m_editor->activeSectionIndex())
                    return;
                // A page whose files could not all be written is not the current one.
                if (error.isEmpty()) {
                    const SectionRun &run = m_editor->lastRun(n);
                    m_preview->showPage(url, run.page, run.pictures);
                } else
                    m_preview->showProblem(error);
            });
    connect(m_editor.get(), &JobEditor::shownSectionChanged, this,
            [this](int n) { showShownSection(n); });
    // Undo and Redo put the caret where the step was made.
    connect(m_editor.get(), &JobEditor::stepRestored, this, [this](const EditedField &field) {
        if (field.section == 0)
            m_common->focusField(field);
        else
            sectionWindow(field.section).focusField(field);
    });
    connect(m_editor.get(), &JobEditor::writeFailed, this,
            [this](const QString &message) { m_status->setText(message); });
    // What a number box's text is read as, when that is not what it shows, for the box that has
    // the focus; else a length of the shown section too large or too small to compute with.
    connect(m_editor.get(), &JobEditor::jobChanged, this, [this] { updateNoteStatus(); });
    // The caret leaving a box ends its run of typing, which Undo takes back as one step.
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] {
        m_editor->endTyping();
        updateNoteStatus();
    });
}

QString MainWindow::tempFolder() const
{
    return corvane::tempFolder(m_options.programFolder);
}

void MainWindow::createActions()
{
    // The strip at the top: the toolbar, then the detail option and the unit selector against
    // the right edge. The toolbar gives up its last buttons to its overflow menu when the window
    // is narrow; the two options always stay in view.
    auto *strip = new QWidget(this);
    strip->setObjectName(QStringLiteral("picTB"));
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 6, 0);
    m_toolbar = new QToolBar(QStringLiteral("Commands"), strip);
    m_toolbar->setObjectName(QStringLiteral("TB"));
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    stripLayout->addWidget(m_toolbar, 1);
    setMenuWidget(strip);
    const QStyle *s = style();

    auto add = [this](const QIcon &icon, const QString &text, const QKeySequence &key,
                      const QString &tip, auto slot) {
        QAction *action = m_toolbar->addAction(icon, text);
        action->setShortcut(key);
        action->setToolTip(
            QStringLiteral("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText)));
        connect(action, &QAction::triggered, this, [this, slot] {
            // Pending events first: an edit still on its way lands in the job before the command.
            QCoreApplication::processEvents();
            (this->*slot)();
        });
        return action;
    };
    add(themeIcon("document-new", QStyle::SP_FileIcon, s), QStringLiteral("New"), QKeySequence::New,
        tr("Start a new job"), &MainWindow::newCommand);
    m_toolbar->addSeparator();
    QAction *open =
        add(themeIcon("document-open", QStyle::SP_DialogOpenButton, s), QStringLiteral("Open"),
            QKeySequence::Open, tr("Open a job file"), &MainWindow::openCommand);
    m_recentMenu = new RecentFilesMenu(this);
    connect(m_recentMenu, &RecentFilesMenu::fileChosen, m_documents, &DocumentCommands::openFile);
    connect(m_documents, &DocumentCommands::recentFilesChanged, m_recentMenu,
            &RecentFilesMenu::refresh);
    open->setMenu(m_recentMenu);
    if (auto *button = qobject_cast<QToolButton *>(m_toolbar->widgetForAction(open)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    m_toolbar->addSeparator();
    add(themeIcon("document-save", QStyle::SP_DialogSaveButton, s), QStringLiteral("Save"),
        QKeySequence::Save, tr("Save the job to a file"), &MainWindow::saveCommand);
    m_toolbar->addSeparator();
    QAction *table = add(themeIcon("x-office-spreadsheet", QStyle::SP_FileDialogDetailedView, s),
                         QStringLiteral("Table"), QKeySequence(Qt::CTRL | Qt::Key_T),
                         tr("Edit the bend table"), &MainWindow::tableCommand);
    auto *tableMenu = new QMenu(this);
    QAction *check = tableMenu->addAction(QStringLiteral("&Check Bend Table..."), this,
                                          &MainWindow::tableCheckCommand);
    check->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T));
    QAction *testBend =
        tableMenu->addAction(QStringLiteral("&Test Bend..."), this, &MainWindow::testBendCommand);
    testBend->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B));
    // Their keys work wherever the focus is, as the toolbar's do.
    addActions({check, testBend});
    table->setMenu(tableMenu);
    table->setToolTip(tr("Edit the bend table (%1); its arrow: Check Bend Table (%2), Test Bend "
                         "(%3)")
                          .arg(table->shortcut().toString(QKeySequence::NativeText),
                               check->shortcut().toString(QKeySequence::NativeText),
                               testBend->shortcut().toString(QKeySequence::NativeText)));
    if (auto *button = qobject_cast<QToolButton *>(m_toolbar->widgetForAction(table)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    m_toolbar->addSeparator();
    add(themeIcon("document-print", QStyle::SP_FileDialogContentsView, s), QStringLiteral("Print"),
        QKeySequence::Print, tr("Print all sections in use"), &MainWindow::printCommand);
    m_toolbar->addSeparator();
    add(themeIcon("help-about", QStyle::SP_MessageBoxInformation, s), QStringLiteral("About"),
        QKeySequence(Qt::Key_F1), tr("About Corvane"), &MainWindow::aboutCommand);
    // After the buttons of the design, whose places other parts count on.
    m_toolbar->addSeparator();
    add(QIcon::fromTheme(QStringLiteral("document-export"), pdfExportIcon()),
        QStringLiteral("Export PDF"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
        tr("Write every section in use to a PDF"), &MainWindow::exportPdfCommand);
    add(themeIcon("document-save-as", QStyle::SP_DialogSaveButton, s), QStringLiteral("Export DXF"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
        tr("Write the flat blank of every section in use as a DXF drawing"),
        &MainWindow::exportDxfCommand);
}

void MainWindow::createStrip()
{
    auto *stripLayout = static_cast<QHBoxLayout *>(menuWidget()->layout());
    QWidget *strip = menuWidget();

    // Both options answer their keys wherever the focus is.
    m_detailed = new QCheckBox(QStringLiteral("Show K factor, OSSB, BA, BD"), strip);
    m_detailed->setObjectName(QStringLiteral("chkDetailed"));
    const QKeySequence detailKey(Qt::ALT | Qt::Key_K);
    m_detailed->setToolTip(tr("Show the K factor, OSSB, BA and BD columns on the pages (%1)")
                               .arg(detailKey.toString(QKeySequence::NativeText)));
    connect(new QShortcut(detailKey, this), &QShortcut::activated, m_detailed, &QCheckBox::click);
    stripLayout->addWidget(m_detailed);
    connect(m_detailed, &QCheckBox::toggled, this, [this](bool on) { m_editor->setDetailed(on); });

    m_unit = new QComboBox(strip);
    m_unit->setObjectName(QStringLiteral("cmbUnit"));
    m_unit->setEditable(true);
    m_unit->setInsertPolicy(QComboBox::NoInsert);
    for (const UnitChoice &choice : kUnitChoices)
        m_unit->addItem(QString::fromLatin1(choice.item));
    m_unit->setMinimumWidth(2415 / kTwipsPerPixel + 20);
    m_unit->setCurrentIndex(0);
    stripLayout->addWidget(m_unit);
    const QKeySequence unitKey(Qt::ALT | Qt::Key_U);
    m_unit->setToolTip(tr("The unit in which the pages show lengths (%1, then the arrow keys)")
                           .arg(unitKey.toString(QKeySequence::NativeText)));
    auto *toUnit = new QShortcut(unitKey, this);
    connect(toUnit, &QShortcut::activated, this, [this] {
        m_unit->setFocus(Qt::ShortcutFocusReason);
        m_unit->lineEdit()->selectAll();
    });
    connect(m_unit, &QComboBox::activated, this,
            [this](int index) { m_editor->setUnit(unitOfItem(m_unit->itemText(index))); });
    // The window is never so narrow that the options leave the strip.
    setMinimumWidth(strip->minimumSizeHint().width());
    // A typed text that is no item leaves no unit chosen.
    connect(m_unit, &QComboBox::editTextChanged, this, [this](const QString &text) {
        const LengthUnit unit = unitOfItem(text);
        if (unit != m_editor->unit())
            m_editor->setUnit(unit);
    });
}

void MainWindow::createWindows()
{
    m_common = new CommonWindow(*m_editor);
    m_commonFrame = m_mdi->addSubWindow(m_common, Qt::SubWindow | Qt::WindowTitleHint);
    m_commonFrame->setWindowTitle(QStringLiteral("Common Details"));
    m_commonFrame->installEventFilter(this);
    connect(m_common, &CommonWindow::veeAllLeft, this, [this] {
        const int n = m_editor->activeSectionIndex();
        if (n != 0)
            sectionWindow(n).focusFirstFlange();
    });
    m_commonFrame->show();
    for (int n = 1; n <= kSectionCount; ++n) {
        auto *key = new QShortcut(CommonWindow::sectionKey(n), this);
        connect(key, &QShortcut::activated, this, [this, n] { m_editor->showSection(n); });
    }
    layoutWindows();
}

void MainWindow::createSectionWindows()
{
    if (m_sections[0])
        return;
    for (int n = 1; n <= kSectionCount; ++n) {
        auto *window = new SectionWindow(*m_editor, n);
        m_sections[n - 1] = window;
        QMdiSubWindow *frame = m_mdi->addSubWindow(window, Qt::SubWindow | Qt::WindowTitleHint);
        frame->setWindowTitle(QStringLiteral("Section Details"));
        frame->installEventFilter(this);
        frame->hide();
        m_sectionFrames[n - 1] = frame;
    }
    layoutWindows();
}

SectionWindow &MainWindow::sectionWindow(int n)
{
    createSectionWindows();
    return *m_sections.at(n - 1);
}

void MainWindow::layoutWindows()
{
    if (!m_commonFrame)
        return;
    // The input windows stand one above the other, as wide as the wider of the two wants.
    int width = m_commonFrame->sizeHint().width();
    for (QMdiSubWindow *frame : m_sectionFrames) {
        if (frame)
            width = qMax(width, frame->sizeHint().width());
    }
    const int commonHeight = m_commonFrame->sizeHint().height();
    m_mdi->setFixedWidth(width);
    m_laying = true;
    m_commonFrame->setGeometry(0, 0, width, commonHeight);
    const int height = qMax(100, m_mdi->viewport()->height() - commonHeight);
    for (QMdiSubWindow *frame : m_sectionFrames) {
        if (frame)
            frame->setGeometry(0, commonHeight, width, height);
    }
    m_laying = false;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // An input window dragged by its title bar, or by an edge, goes back where the layout puts
    // it, once the drag has let it go.
    const bool moved = event->type() == QEvent::Move || event->type() == QEvent::Resize;
    if (moved && !m_laying && watched->isWidgetType() &&
        static_cast<QWidget *>(watched)->parentWidget() == m_mdi->viewport())
        QTimer::singleShot(0, this, [this] { layoutWindows(); });
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutWindows();
}

void MainWindow::showShownSection(int n)
{
    createSectionWindows();
    for (int k = 1; k <= kSectionCount; ++k) {
        if (k != n)
            m_sectionFrames[k - 1]->hide();
    }
    if (n < 1)
        return;
    QMdiSubWindow *frame = m_sectionFrames[n - 1];
    frame->show();
    layoutWindows();
    m_mdi->setActiveSubWindow(frame);
    m_sections[n - 1]->focusFirstFlange();
    const SectionRun &run = m_editor->lastRun(n);
    m_preview->showPage(run.pageUrl, run.page, run.pictures);
}

QString MainWindow::statusText() const
{
    return m_status->text();
}

QString MainWindow::tableStatusText() const
{
    return m_tableStatus->text();
}

bool MainWindow::event(QEvent *event)
{
    // The About window and a new job follow the first activation, but only once the window has
    // been painted: activation may come first, and starting the web engine of the preview takes
    // long enough to hold the first picture of the window back.
    const bool wasReady = m_activated && m_painted;
    if (event->type() == QEvent::WindowActivate)
        m_activated = true;
    else if (event->type() == QEvent::Paint)
        m_painted = true;
    if (!wasReady && m_activated && m_painted) {
        // Posted: the paint pass, which paints the children too, ends first.
        QTimer::singleShot(0, this, [this] { firstActivation(); });
    }
    return QMainWindow::event(event);
}

void MainWindow::firstActivation()
{
    createSectionWindows();
    if (m_options.aboutOnFirstActivation) {
        // The web engine takes the better part of a second to start, during which the window does
        // not answer: it starts while the About window is being read, once that has been painted.
        AboutWindow about(this);
        AfterFirstPaint startPreview(about, this, [this] { m_preview->start(); });
        about.exec();
    }
    // A job kept when Corvane last ended without closing is offered back before anything else.
    const bool recovered = m_recovery->offerFound(*m_documents, *this, tempFolder());
    if (!recovered)
        newCommand();
    // Without the About window, or when it was closed before the engine started: now, with
    // section 1's page as its first.
    m_preview->start();
    // After a recovered job, the file given asks whether to save that first.
    if (!m_options.openAtStart.isEmpty())
        recovered ? m_documents->openFile(m_options.openAtStart)
                  : m_documents->readIntoNewJob(m_options.openAtStart);
    m_recovery->start();
}

void MainWindow::updateNoteStatus()
{
    const int n = m_editor->activeSectionIndex();
    QString note;
    if (n != 0 && m_sections[n - 1]) {
        note = m_sections[n - 1]->focusedNote();
        const int flange = m_editor->lastRun(n).calculation.outOfRangeFlange;
        if (note.isEmpty() && flange >= 0)
            note = m_editor->job().section(n).outsideNote(flange);
    }
    if (!note.isEmpty()) {
        m_noteShown = QStringLiteral("Section %1, %2").arg(n).arg(note);
        m_status->setText(m_noteShown);
    } else {
        // A message of another kind stays.
        if (!m_noteShown.isEmpty() && m_status->text() == m_noteShown)
            m_status->clear();
        m_noteShown.clear();
    }
}

void MainWindow::aboutCommand()
{
    AboutWindow about(this);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing with unsaved changes asks first, unlike the timed end, which keeps a recovery copy.
    if (!m_closing && !m_documents->offerToSave(true)) {
        event->ignore();
        return;
    }
    // Answered: nothing is left to recover. The timed end keeps its copy for the next start.
    if (!m_closing)
        m_recovery->stop();
    event->accept();
}

QString MainWindow::timedEnd()
{
    const QString saved = m_recovery->writeNow();
    m_closing = true;
    close();
    QCoreApplication::quit();
    return saved;
}

} // namespace corvane
