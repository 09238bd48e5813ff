#include "shell/previewpane.h"

#include "shell/pdfexport.h"

#include <QLabel>
#include <QStackedLayout>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace corvane {

namespace {

// Report pages show local files only: the logo and the section's pictures.
class LocalOnly : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != QLatin1String("file") && scheme != QLatin1String("about") &&
            scheme != QLatin1String("data"))
            info.block(true);
    }
};

// A page that follows no link and opens no window.
class ReportPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        Q_UNUSED(isMainFrame);
        if (type == NavigationTypeTyped || type == NavigationTypeReload)
            return true;
        return url.scheme() == QLatin1String("about");
    }
    QWebEnginePage *createWindow(WebWindowType) override { return nullptr; }
};

} // namespace

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

void PreviewPane::start()
{
    if (m_view || m_refused)
        return;
    // Without its sandbox the engine would end the whole program; say why there is no preview.
    const QString problem = PdfExport::sandboxProblem();
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
    auto *profile = new QWebEngineProfile(this); // off the record: nothing kept on disk
    profile->setHttpCacheType(QWebEngineProfile::NoCache);
    profile->setUrlRequestInterceptor(new LocalOnly(profile));
    auto *page = new ReportPage(profile, this);
    QWebEngineSettings *settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    // Pages ask for Trebuchet MS; where it is missing, a sans-serif face reads closest to it.
    settings->setFontFamily(QWebEngineSettings::StandardFont,
                            settings->fontFamily(QWebEngineSettings::SansSerifFont));

    m_view = new QWebEngineView(this);
    m_view->setPage(page);
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    m_stack->addWidget(m_view);
    m_stack->setCurrentWidget(m_view);
    connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
        m_loading = false;
        Q_EMIT pageShown(m_loaded, ok);
        if (m_stale || m_wanted != m_loaded)
            load();
    });
    load();
}

void PreviewPane::showPage(const QUrl &url)
{
    m_wanted = url;
    m_stale = true;
    if (m_view && !m_loading)
        load();
}

void PreviewPane::load()
{
    if (!m_view)
        return;
    const QUrl target = m_wanted.isEmpty() ? QUrl(QStringLiteral("about:blank")) : m_wanted;
    m_stale = false;
    m_loading = true;
    if (target == m_loaded && m_view->url() == target) {
        // The same file written anew, with pictures of the same names: past the cache, keeping
        // the place the operator scrolled to.
        m_view->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
    } else {
        m_loaded = target;
        m_view->load(target);
    }
}

} // namespace corvane
