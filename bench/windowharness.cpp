#include "windowharness.h"

#include "timingsupport.h"

#include "editing/jobeditor.h"
#include "app/sectionwindow.h"
#include "app/mainwindow.h"
#include "app/previewpane.h"
#include "app/printing.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

namespace corvane::timing {

WindowHarness::WindowHarness(const QString &dataFolder)
{
    for (const char *name : {"BendTbl.xls", "logo.png"})
        QFile::copy(QDir(dataFolder).filePath(QLatin1String(name)),
                    m_folder.filePath(QLatin1String(name)));
    m_window = std::make_unique<MainWindow>(MainWindow::Options{m_folder.path(), false, {}});
    m_window->ask = [](const QString &, const QString &, int) {
        return int(QMessageBox::No);
    };
    m_window->chooseFile = [](bool, const QString &) {
        return QString();
    };
    m_window->choosePdfFile = [this](const QString &) {
        return pdfPath;
    };
    m_window->showPrintPreview = [this](ReportPrinter &printer) {
        if (printPreview)
            printPreview(printer);
    };
    connect(&m_window->preview(), &PreviewPane::pageShown, this,
            [this](const QUrl &, bool) { m_pagesShown.append(nowMs()); });
}

WindowHarness::~WindowHarness()
{
    if (m_renderWidget)
        m_renderWidget->removeEventFilter(this);
}

bool WindowHarness::open()
{
    m_window->show();
    m_window->activateWindow();
    const QUrl first = QUrl::fromLocalFile(QDir(m_folder.path()).filePath("temp/wb1.htm"));
    bool shown = false;
    QObject watch;
    connect(&m_window->preview(), &PreviewPane::pageShown, &watch,
            [&shown, first](const QUrl &url, bool ok) { shown = shown || (ok && url == first); });
    const bool ok = waitUntil([&] { return shown; }, 30000);
    watchRenderWidget();
    return ok && waitQuiet(200, 10000);
}

void WindowHarness::watchRenderWidget()
{
    QWidget *view = m_window->preview().view();
    QWidget *widget = view ? view->focusProxy() : nullptr;
    if (widget == m_renderWidget)
        return;
    if (m_renderWidget)
        m_renderWidget->removeEventFilter(this);
    m_renderWidget = widget;
    if (m_renderWidget)
        m_renderWidget->installEventFilter(this);
}

bool WindowHarness::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_renderWidget && event->type() == QEvent::Paint && !m_grabbing) {
        const double time = nowMs();
        m_framesDrawn.append(time);
        if (m_keepPictures)
            QTimer::singleShot(0, this, [this, time] {
                m_pictures.append({time, previewPicture()});
            });
    }
    return QObject::eventFilter(watched, event);
}

bool WindowHarness::previewLoading() const
{
    return m_window->preview().loading();
}

QImage WindowHarness::previewPicture() const
{
    // A grab paints the widget too; that is no frame of the engine's.
    m_grabbing = true;
    const QImage picture = m_renderWidget ? m_renderWidget->grab().toImage() : QImage();
    m_grabbing = false;
    return picture;
}

bool WindowHarness::waitQuiet(int quietMs, int timeoutMs)
{
    const auto last = [this] {
        double t = 0;
        if (!m_pagesShown.isEmpty())
            t = m_pagesShown.last();
        if (!m_framesDrawn.isEmpty())
            t = qMax(t, m_framesDrawn.last());
        return t;
    };
    return waitUntil([&] { return !previewLoading() && nowMs() - last() >= quietMs; }, timeoutMs);
}

bool WindowHarness::fillSections(int count)
{
    JobEditor &e = m_window->editor();
    e.chooseMaterial(int(e.job().material().items().indexOf(QStringLiteral("MS"))));
    e.chooseThickness(int(e.job().thickness().items().indexOf(QStringLiteral("2"))));
    for (int n = 1; n <= count; ++n) {
        const QStringList flanges = {QString::number(40 + 5 * n), QStringLiteral("100"),
                                     QString::number(30 + 10 * n), QStringLiteral("60")};
        for (int i = 0; i < flanges.size(); ++i)
            e.setOutside(n, i, flanges[i]);
        for (int i = 0; i + 1 < flanges.size(); ++i)
            e.setAngle(n, i, i % 2 ? QStringLiteral("-90") : QStringLiteral("90"));
        e.setNotes(n, QStringLiteral("Section %1 of the timing job").arg(n));
    }
    e.showSection(1);
    e.markSaved();
    return waitQuiet(200, 10000);
}

QLineEdit &WindowHarness::flangeBox()
{
    auto *box = m_window->sectionWindow(1).findChild<QLineEdit *>(QStringLiteral("txtOutside1"));
    Q_ASSERT(box);
    box->setFocus(Qt::OtherFocusReason);
    box->end(false);
    return *box;
}

} // namespace corvane::timing
