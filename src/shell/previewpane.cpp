#include "shell/previewpane.h"

#include "shell/webengine.h"

#include <QLabel>
#include <QStackedLayout>
#include <QTimer>
#include <QWidget>

namespace corvane {

PreviewPane::PreviewPane(QWidget *parent) : QWidget(parent)
{
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    auto *blank = new QWidget(this);
    blank->setAutoFillBackground(true);
    QPalette palette = blank->palette();
    palette.setColor(QPalette::Window, Qt::white);
    blank->setPalette(palette);
    m_stack->addWidget(blank);
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
        auto *notice =
            new QLabel(QStringLiteral("The preview cannot be shown: %1.").arg(problem), this);
        notice->setWordWrap(true);
        notice->setAlignment(Qt::AlignCenter);
        m_stack->addWidget(notice);
        m_stack->setCurrentWidget(notice);
        return;
    }
    m_browser = engine->createBrowser(this);
    m_stack->addWidget(m_browser->widget());
    m_stack->setCurrentWidget(m_browser->widget());
    m_browser->loadFinished = [this](bool ok) {
        m_loading = false;
        Q_EMIT pageShown(m_loaded, ok);
        if (m_stale || m_wanted != m_loaded)
            load();
    };
    load();
}

void PreviewPane::showPage(const QUrl &url)
{
    m_wanted = url;
    m_stale = true;
    // The load starts when the event loop next turns: a page asked for twice in one go (a section
    // shown with its old page, then computed) is loaded once, when it has been written.
    if (m_browser && !m_loading) {
        m_loading = true;
        QTimer::singleShot(0, this, &PreviewPane::load);
    }
}

void PreviewPane::load()
{
    if (!m_browser)
        return;
    const QUrl target = m_wanted.isEmpty() ? QUrl(QStringLiteral("about:blank")) : m_wanted;
    m_stale = false;
    m_loading = true;
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
