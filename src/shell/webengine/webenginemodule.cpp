// The module corvane-webengine: what the desktop program asks of QtWebEngine and QtPdf
// (shell/webengine/webengine.h), loaded after its window has been painted.

#include "shell/webengine/pdfexport.h"
#include "shell/webengine/reportrendering.h"
#include "shell/webengine/webengine.h"

#include <QImage>
#include <QPdfDocument>
#include <QPointer>
#include <QSize>
#include <QSizeF>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
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

// The view with a profile of its own, off the record (nothing kept on disk), rendering pages as
// every report is rendered (shell/webengine/reportrendering.h), with nothing from the network. The
// page goes before its profile.
class ReportView : public QWebEngineView
{
public:
    explicit ReportView(QWidget *parent) : QWebEngineView(parent), m_profile(new QWebEngineProfile)
    {
        m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
        m_profile->setUrlRequestInterceptor(new LocalOnly(m_profile));
        m_page = new ReportPage(m_profile, this);
        prepareReportPage(*m_page);
        QWebEngineSettings *settings = m_page->settings();
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        setPage(m_page);
        setContextMenuPolicy(Qt::NoContextMenu);
    }
    ~ReportView() override
    {
        delete m_page;
        delete m_profile;
    }

private:
    QWebEngineProfile *m_profile;
    ReportPage *m_page;
};

class EngineBrowser : public Browser
{
public:
    explicit EngineBrowser(QWidget *parent) : m_view(new ReportView(parent))
    {
        QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool ok) {
            if (loadFinished)
                loadFinished(ok);
        });
    }
    ~EngineBrowser() override
    {
        // The parent deletes the widget; without this browser it no longer reports its loads.
        if (m_view)
            QObject::disconnect(m_view, &QWebEngineView::loadFinished, m_view, nullptr);
    }
    QWidget *widget() const override { return m_view; }
    void load(const QUrl &url) override { m_view->load(url); }
    void reload() override { m_view->triggerPageAction(QWebEnginePage::ReloadAndBypassCache); }
    QUrl url() const override { return m_view->url(); }

private:
    QPointer<ReportView> m_view;
};

class QtPdfPages : public PdfPages
{
public:
    bool load(const QString &path) override
    {
        return m_document.load(path) == QPdfDocument::Error::None;
    }
    void close() override { m_document.close(); }
    int pageCount() const override { return m_document.pageCount(); }
    QSizeF pagePointSize(int page) const override { return m_document.pagePointSize(page); }
    QImage render(int page, const QSize &pixels) override
    {
        return m_document.render(page, pixels);
    }

private:
    QPdfDocument m_document;
};

class Engine : public WebEngine
{
public:
    QString sandboxProblem() const override { return PdfExport::sandboxProblem(); }
    std::unique_ptr<Browser> createBrowser(QWidget *parent) override
    {
        return std::make_unique<EngineBrowser>(parent);
    }
    QString exportPdf(const QString &htmlPath, const QString &pdfPath) override
    {
        return corvane::exportPdf(htmlPath, pdfPath);
    }
    QPageLayout pageLayout() const override { return PdfExport::pageLayout(); }
    std::unique_ptr<PdfPages> createPdfPages() override { return std::make_unique<QtPdfPages>(); }
};

} // namespace

} // namespace corvane

extern "C" Q_DECL_EXPORT corvane::WebEngine *corvane_webEngine()
{
    static corvane::Engine engine;
    return &engine;
}
