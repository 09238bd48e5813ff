#include "app/previewpane.h"

#include "webengine/webengineloader.h"

#include <QLabel>
#include <QStackedLayout>
#include <QTimer>
#include <QWidget>

namespace corvane {

PreviewPane::PreviewPane(QWidget *parent) : QWidget(parent)
{
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_blank = new QWidget(this);
    m_blank->setAutoFillBackground(true);
    QPalette palette = m_blank->palette();
    palette.setColor(QPalette::Window, Qt::white);
    m_blank->setPalette(palette);
    m_stack->addWidget(m_blank);
    m_notice = makeNotice();
    m_stack->addWidget(m_notice);
}

QLabel *PreviewPane::makeNotice()
{
    auto *notice = new QLabel(this);
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignCenter);
    notice->setMargin(24);
    notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return notice;
}

PreviewPane::~PreviewPane() = default;

QWidget *PreviewPane::view() const
{
    return m_browser ? m_browser->widget() : nullptr;
}

void PreviewPane::start()
{
    if (m_browser || m_refused)
        return;
    QString problem;
    WebEngine *engine = webEngine(&problem);
    // Without its sandbox the engine would end the whole program; say why there is no preview.
    if (engine)
        problem = engine->sandboxProblem();
    if (!problem.isEmpty()) {
        m_refused = true;
        QLabel *notice = makeNotice();
        notice->setText(QStringLiteral("The preview cannot be shown: %1.").arg(problem));
        m_stack->addWidget(notice);
        m_stack->setCurrentWidget(notice);
        return;
    }
    m_browser = engine->createBrowser(this);
    m_stack->addWidget(m_browser->widget());
    showCurrent();
    m_browser->loadFinished = [this](bool ok) {
        m_loading = false;
        m_loadedOk = ok;
        m_wholeWrites.reset();
        Q_EMIT pageShown(m_loaded, ok);
        if (m_stale || m_wanted != m_loaded)
            load();
    };
    load();
}

void PreviewPane::showPage(const QUrl &url, const QByteArray &page,
                           const QList<FileContent> &pictures)
{
    m_wantedPage = page;
    m_pictures = pictures;
    if (!m_problem.isEmpty()) {
        m_problem.clear();
        showCurrent();
    }
    m_wanted = url;
    m_stale = true;
    // The load starts when the event loop next turns: a page asked for twice in one go (a section
    // shown with its old page, then computed) is loaded once, when it has been written.
    if (m_browser && !m_loading) {
        m_loading = true;
        QTimer::singleShot(0, this, &PreviewPane::load);
    }
}

void PreviewPane::showProblem(const QString &message)
{
    m_problem = message;
    m_notice->setText(QStringLiteral("<p style='color:#c00000;'><b>This page is not up to date: "
                                     "it could not be written.</b></p><p>%1</p><p>It is shown "
                                     "again as soon as a change can be written.</p>")
                          .arg(message.toHtmlEscaped()));
    showCurrent();
}

// The notice of a problem, else the browser once started, else the blank page; the notice of an
// engine that cannot run stays whatever happens.
void PreviewPane::showCurrent()
{
    if (m_refused)
        return;
    if (!m_problem.isEmpty())
        m_stack->setCurrentWidget(m_notice);
    else if (m_browser)
        m_stack->setCurrentWidget(m_browser->widget());
    else
        m_stack->setCurrentWidget(m_blank);
}

void PreviewPane::load()
{
    if (!m_browser)
        return;
    const QUrl target = m_wanted.isEmpty() ? QUrl(QStringLiteral("about:blank")) : m_wanted;
    m_stale = false;
    m_loading = true;
    if (target == m_loaded && m_browser->url() == target && m_loadedOk && m_inPlace &&
        !m_wantedPage.isEmpty() && m_updatesSinceLoad < kUpdatesPerLoad) {
        ++m_updatesSinceLoad;
        m_browser->update(m_wantedPage, m_pictures);
        return;
    }
    m_updatesSinceLoad = 0;
    m_wholeWrites.emplace();
    if (target == m_loaded && m_browser->url() == target) {
        // The same file written anew, with pictures of the same names: past the cache, keeping
        // the place the operator scrolled to.
        m_browser->reload();
    } else {
        m_loaded = target;
        m_browser->load(target);
    }
}

} // namespace corvane
