#include "app/mainwindow.h"

#include "app/commonwindow.h"
#include "app/sectionwindow.h"
#include "app/aboutwindow.h"
#include "ground/jobfile.h"
#include "ground/twips.h"
#include "ground/maker.h"
#include "app/pdficon.h"
#include "app/previewpane.h"
#include "bendtable/bendtablecheck.h"
#include "app/printing.h"
#include "app/tablewindows.h"
#include "report/reportassembly.h"
#include "app/screenfit.h"
#include "app/webengineloader.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace corvane {

namespace {

constexpr int kEndTickMilliseconds = 65535;
constexpr int kEndTicks = 1440;
const QString kSaveQuestion =
    QStringLiteral("Do you want to save changes you have made to this file?");

QIcon themeIcon(const char *name, QStyle::StandardPixmap fallback, const QStyle *style)
{
    return QIcon::fromTheme(QString::fromLatin1(name), style->standardIcon(fallback));
}

// Shows the busy pointer while a command works.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Calls a function once a window's first paint is over, if the context still exists then.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QWidget &window, QObject *context, std::function<void()> then)
        : m_window(window), m_context(context), m_then(std::move(then))
    {
        m_window.installEventFilter(this);
    }
    ~AfterFirstPaint() override { m_window.removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window && event->type() == QEvent::Paint && m_then) {
            if (m_context)
                QTimer::singleShot(0, m_context.data(), std::move(m_then));
            m_then = nullptr;
        }
        return false;
    }

private:
    QWidget &m_window;
    QPointer<QObject> m_context;
    std::function<void()> m_then;
};

// A status bar panel that opens the maker's web page when clicked.
class LinkPanel : public QLabel
{
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        QLabel::mousePressEvent(event);
        QDesktopServices::openUrl(maker::homePage());
    }
};

} // namespace

MainWindow::MainWindow(Options options, QWidget *parent)
    : QMainWindow(parent), m_options(std::move(options)),
      m_tableSource(bendTablePath(m_options.programFolder))
{
    ask = [this](const QString &title, const QString &text, int buttons) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::StandardButtons(buttons),
                        this);
        // Escape, or the box's close button, answers no question: on a box of Yes and No it
        // cancels, through a Cancel button that is never shown, and only the No button says No.
        if ((buttons & QMessageBox::No) && !(buttons & QMessageBox::Cancel)) {
            QPushButton *cancel = box.addButton(QMessageBox::Cancel);
            cancel->hide();
            box.setEscapeButton(cancel);
        }
        return box.exec();
    };

    chooseFile = [this](bool save, const QString &proposed) {
        QFileDialog dialog(this);
        dialog.setNameFilter(QStringLiteral("Corvane (*.bm)"));
        dialog.setOption(QFileDialog::ReadOnly, false);
        if (save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            // The dialog adds ".bm" to a name typed without an extension, and asks before
            // replacing a file of the name it then has.
            dialog.setDefaultSuffix(QStringLiteral("bm"));
            dialog.selectFile(proposed);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
            if (!proposed.isEmpty())
                dialog.setDirectory(proposed);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };

    choosePdfFile = [this](const QString &proposed) {
        QFileDialog dialog(this, tr("Export PDF"));
        dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.selectFile(proposed);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    showPrintPreview = [](ReportPrinter &printer) {
        printer.preview();
    };
    showTableWindow = [](QDialog &window) {
        fitToScreen(window, window.sizeHint());
        window.exec();
    };

    // The temp folder of generated pages; one left from an earlier run is kept as it is.
    QDir().mkpath(tempFolder());
    m_editor = std::make_unique<JobEditor>(
        [this] { return m_tableSource.table(); },
        PageOptions{LengthUnit::Millimetre, false, m_options.programFolder, tempFolder()});

    setWindowTitle(maker::kProduct);
    createActions();
    createStrip();

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
    m_tableStatus = new LinkPanel(QString(), this);
    updateTableStatus();
    m_tableStatus->setCursor(Qt::PointingHandCursor);
    m_tableStatus->setToolTip(maker::kWebsite);
    statusBar()->addWidget(m_status);
    statusBar()->addWidget(m_tableStatus, 1);

    createWindows();

    connect(m_editor.get(), &JobEditor::statusChanged, m_status, &QLabel::setText);
    // The workbook may be edited, replaced or removed while the program runs: after each run the
    // second panel says how the table now stands, so that a broken table is named where it broke.
    connect(m_editor.get(), &JobEditor::statusChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            updateTableStatus();
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
    connect(m_editor.get(), &JobEditor::writeFailed, this,
            [this](const QString &message) { m_status->setText(message); });
    // What a number box's text is read as, when that is not what it shows, for the box that has
    // the focus; else a length of the shown section too large or too small to compute with.
    connect(m_editor.get(), &JobEditor::jobChanged, this, [this] { updateNoteStatus(); });
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this] { updateNoteStatus(); });

    m_endTimer = new QTimer(this);
    m_endTimer->setInterval(kEndTickMilliseconds);
    connect(m_endTimer, &QTimer::timeout, this, [this] {
        if (++m_endTicks >= kEndTicks)
            timedEnd();
    });
    m_endTimer->start();

    // Within the screen it opens on: a shop-floor screen of 1366 by 768 shows all of it.
    fitToScreen(*this, QSize(1280, 860));
}

MainWindow::~MainWindow()
{
    // The focus leaves the closing window's controls while QWidget's destructor runs, when this
    // object is a MainWindow no more.
    disconnect(m_focusWatch);
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
    m_recentMenu = new QMenu(this);
    open->setMenu(m_recentMenu);
    if (auto *button = qobject_cast<QToolButton *>(m_toolbar->widgetForAction(open)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
    updateRecentMenu();
    m_toolbar->addSeparator();
    add(themeIcon("document-save", QStyle::SP_DialogSaveButton, s), QStringLiteral("Save"),
        QKeySequence::Save, tr("Save the job to a file"), &MainWindow::saveCommandSlot);
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

QString MainWindow::tableStatus(const QString &version, const QString &error, int findings)
{
    const QString product = maker::kProduct + QStringLiteral(" \u00AE ") + maker::versionText();
    if (!error.isEmpty())
        return product + QStringLiteral(", ") + error;
    QString text = product + QStringLiteral(", BendTbl.xls ") + version;
    if (findings > 0)
        text += QStringLiteral(" (the table check has %1 %2: Table, Check Bend Table)")
                    .arg(findings)
                    .arg(findings == 1 ? QStringLiteral("finding") : QStringLiteral("findings"));
    return text;
}

void MainWindow::updateTableStatus()
{
    const std::shared_ptr<const BendTable> table = m_tableSource.table();
    if (table != m_checkedTable) {
        m_checkedTable = table;
        m_tableFindings = m_tableSource.error().isEmpty() ? int(checkBendTable(*table).size()) : 0;
    }
    m_tableStatus->setText(tableStatus(table->version(), m_tableSource.error(), m_tableFindings));
}

void MainWindow::tableCheckCommand()
{
    TableCheckWindow window(m_tableSource, this);
    updateTableStatus();
    showTableWindow(window);
}

void MainWindow::testBendCommand()
{
    TestBendWindow window(m_tableSource, m_editor->job(), this);
    showTableWindow(window);
}

QString MainWindow::tableQuestion(const QString &programFolder)
{
    const QString br = QStringLiteral("\r\n");
    return QStringLiteral("IMPORTANT INSTRUCTIONS : ") + br + br +
           QStringLiteral("(1) Bend Table is in .xls format (NOT in .xlsx). Once you finish "
                          "editing, please save the file as ") +
           programFolder + QStringLiteral("/BendTbl.xls") + br + br +
           QStringLiteral("(2) Do not modify the column headers.") + br + br +
           QStringLiteral("(3) Close the file once you finish. Keeping it open may adversely "
                          "affect ") +
           maker::kProduct + QStringLiteral(" performance.") + br + br +
           QStringLiteral("Edit now?");
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
    newCommand();
    // Without the About window, or when it was closed before the engine started: now, with
    // section 1's page as its first.
    m_preview->start();
    if (!m_options.openAtStart.isEmpty())
        readIntoNewJob(m_options.openAtStart);
    const QStringList recovered = recoveryFiles(tempFolder());
    for (const QString &path : recovered) {
        const QString reported = path.left(path.size() - 3) + QStringLiteral("-reported.bm");
        const QString shown = QFile::rename(path, reported) ? reported : path;
        ask(maker::kProduct,
            QStringLiteral("Corvane ended itself after a long run while a job had unsaved "
                           "changes. That job was saved to:\n\n%1\n\nOpen it to carry on with it.")
                .arg(QDir::toNativeSeparators(shown)),
            QMessageBox::Ok);
    }
}

void MainWindow::newCommand()
{
    if (offerToSave())
        startNewJob();
}

bool MainWindow::offerToSave()
{
    if (!m_editor->job().isChanged())
        return true;
    switch (ask(QStringLiteral("Attention!"), kSaveQuestion, QMessageBox::Yes | QMessageBox::No)) {
    case QMessageBox::Yes:
        // A Save dialog cancelled after Yes lets the command go on; a Save that could not be
        // written stops it, and the job stays as it is.
        return save() != SaveOutcome::Failed;
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void MainWindow::startNewJob()
{
    BusyCursor busy;
    m_editor->newJob();
    layoutWindows();
}

void MainWindow::openCommand()
{
    if (!offerToSave())
        return;
    // The dialog starts without a file name; a cancel leaves a new, empty job.
    const QString path = chooseFile(false, QFileInfo(m_dialogFile).path());
    if (path.isEmpty()) {
        startNewJob();
        return;
    }
    readIntoNewJob(path);
}

void MainWindow::openFile(const QString &path)
{
    if (offerToSave())
        readIntoNewJob(path);
}

void MainWindow::readIntoNewJob(const QString &path)
{
    BusyCursor busy;
    // The file is read whole before the open job gives way to it: a file that cannot be opened
    // leaves the job, its title and its Changed flag as they were.
    const JobFileReadResult read = readJobFile(path);
    if (!read.ok()) {
        showError(read.error);
        return;
    }
    startNewJob();
    m_dialogFile = path;
    setTitleFrom(path);
    m_editor->openContent(read.content);
    remember(path);
}

QStringList MainWindow::recentFiles() const
{
    const QString key = QStringLiteral("recentFiles");
    QSettings settings;
    if (!settings.contains(key)) {
        // Before the program named its organisation, Qt kept its settings under "Unknown
        // Organization": a list kept there is taken over once.
        const QSettings earlier(QStringLiteral("Unknown Organization"),
                                QCoreApplication::applicationName());
        if (earlier.contains(key))
            settings.setValue(key, earlier.value(key));
    }
    return settings.value(key).toStringList();
}

void MainWindow::remember(const QString &path)
{
    QStringList files = recentFiles();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > 8)
        files.removeLast();
    QSettings().setValue(QStringLiteral("recentFiles"), files);
    updateRecentMenu();
}

void MainWindow::updateRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction *action = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        connect(action, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    if (files.isEmpty())
        m_recentMenu->addAction(tr("No recent files"))->setEnabled(false);
}

bool MainWindow::saveCommand()
{
    return save() == SaveOutcome::Saved;
}

MainWindow::SaveOutcome MainWindow::save()
{
    QString proposed = proposedFileName(m_editor->job());
    if (!m_dialogFile.isEmpty())
        proposed = QFileInfo(m_dialogFile).dir().filePath(proposed);
    QString path = chooseFile(true, proposed);
    if (path.isEmpty())
        return SaveOutcome::Cancelled;
    // The dialog adds no extension; a name typed without one gets ".bm".
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".bm");
    BusyCursor busy;
    const JobFileWriteResult written = writeJobFile(jobFileContent(m_editor->job()), path);
    if (!written.ok()) {
        showError(written.error);
        return SaveOutcome::Failed;
    }
    m_dialogFile = path;
    setTitleFrom(path);
    m_editor->markSaved();
    remember(path);
    return SaveOutcome::Saved;
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

void MainWindow::setTitleFrom(const QString &path)
{
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ") + maker::kProduct);
}

void MainWindow::showError(const QString &message)
{
    ask(maker::kProduct, message, QMessageBox::Ok);
}

void MainWindow::printCommand()
{
    ReportAssembly report;
    QString error;
    {
        BusyCursor busy;
        m_toolbar->setEnabled(false);
        report = printSections();
        if (!m_printer)
            m_printer = new ReportPrinter(this);
        if (report.ok())
            m_printer->load(report.path, QDir(tempFolder()).filePath(QStringLiteral("wball.pdf")),
                            &error);
        else
            error = report.error;
    }
    if (error.isEmpty())
        showPrintPreview(*m_printer);
    else
        showError(error);
    m_toolbar->setEnabled(true);
}

ReportAssembly MainWindow::printSections()
{
    // As printing walks the sections in use, each is shown in turn, which computes its page; the
    // section shown before is shown again afterwards (when none was, the last one stays).
    const int before = m_editor->activeSectionIndex();
    const ReportAssembly report = assembleReport(m_editor->job(), tempFolder(), [this](int n) {
        m_editor->showSection(n);
        return m_editor->lastRun(n);
    });
    if (before != 0)
        m_editor->showSection(before);
    return report;
}

void MainWindow::exportPdfCommand()
{
    QString proposed = proposedFileName(m_editor->job()) + QStringLiteral(".pdf");
    if (!m_dialogFile.isEmpty())
        proposed = QFileInfo(m_dialogFile).dir().filePath(proposed);
    const QString path = choosePdfFile(proposed);
    if (path.isEmpty())
        return;
    QString error;
    {
        BusyCursor busy;
        m_toolbar->setEnabled(false);
        const ReportAssembly report = printSections();
        error = report.ok() ? renderReportPdf(report.path, path) : report.error;
        m_toolbar->setEnabled(true);
    }
    if (!error.isEmpty())
        showError(error);
    else
        m_status->setText(tr("Exported %1").arg(QDir::toNativeSeparators(path)));
}

void MainWindow::tableCommand()
{
    if (ask(QStringLiteral("Open Bending Table in Excel"), tableQuestion(m_options.programFolder),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(bendTablePath(m_options.programFolder)));
}

void MainWindow::aboutCommand()
{
    AboutWindow about(this);
    about.exec();
}

bool MainWindow::maybeSave()
{
    if (!m_editor->job().isChanged())
        return true;
    const int answer = ask(QStringLiteral("Attention!"), kSaveQuestion,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer == QMessageBox::Yes)
        return saveCommand();
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Closing with unsaved changes asks first, unlike the timed end, which saves a recovery copy.
    if (!m_closing && !maybeSave()) {
        event->ignore();
        return;
    }
    event->accept();
}

QString MainWindow::timedEnd()
{
    QString saved;
    if (m_editor->job().isChanged()) {
        const QString path = QDir(tempFolder())
                                 .filePath(QStringLiteral("recovered-%1.bm")
                                               .arg(QDateTime::currentDateTime().toString(
                                                   QStringLiteral("yyyyMMdd-HHmmss"))));
        if (writeJobFile(jobFileContent(m_editor->job()), path).ok())
            saved = path;
    }
    m_closing = true;
    close();
    QCoreApplication::quit();
    return saved;
}

QStringList MainWindow::recoveryFiles(const QString &tempFolder)
{
    QStringList files;
    const QFileInfoList found =
        QDir(tempFolder).entryInfoList({QStringLiteral("recovered-*.bm")}, QDir::Files, QDir::Time);
    for (const QFileInfo &info : found) {
        if (!info.fileName().endsWith(QStringLiteral("-reported.bm")))
            files << info.filePath();
    }
    return files;
}

} // namespace corvane
