// The module corvane-webengine: what the desktop program asks of QtWebEngine and QtPdf
// (webengine/webengine.h), loaded after its window has been painted.

#include "webengine/pdfexport.h"
#include "webengine/reportrendering.h"
#include "webengine/webengine.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPdfDocument>
#include <QPointer>
#include <QSize>
#include <QSizeF>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QWebEngineView>

namespace corvane {

namespace {

// Pictures of a page brought up to date in place come from the program's memory under addresses
// of this scheme: corvane-picture:/<serial>.
const QByteArray kPictureScheme = QByteArrayLiteral("corvane-picture");

// The scheme must be known before the engine starts, which the first profile does.
void registerPictureScheme()
{
    QWebEngineUrlScheme scheme(kPictureScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Local like file:, so that a page loaded from a file may show its pictures.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

// Report pages show local files only: the logo and the section's pictures.
class LocalOnly : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != QLatin1String("file") && scheme != QLatin1String("about") &&
            scheme != QLatin1String("data") && scheme != QLatin1String(kPictureScheme))
            info.block(true);
    }
};

// The pictures of the page shown, by address. A picture whose bytes have not changed since the
// last update keeps its address, so that the view, which holds it decoded, shows it at once.
class PictureStore : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // The address of each file's picture, by file; pictures of earlier updates that are not
    // among these are forgotten.
    QHash<QString, QString> take(const QList<FileContent> &pictures)
    {
        QHash<QString, Picture> kept;
        QHash<QString, QString> addresses;
        for (const FileContent &file : pictures) {
            Picture picture = m_byFile.value(file.path);
            if (picture.address.isEmpty() || picture.bytes != file.bytes)
                picture = {
                    QStringLiteral("%1:/%2").arg(QLatin1String(kPictureScheme)).arg(++m_serial),
                    file.bytes};
            addresses.insert(file.path, picture.address);
            kept.insert(file.path, picture);
        }
        m_byFile = kept;
        return addresses;
    }

    void requestStarted(QWebEngineUrlRequestJob *job) override
    {
        const QString address = job->requestUrl().toString();
        for (const Picture &picture : std::as_const(m_byFile)) {
            if (picture.address == address) {
                auto *buffer = new QBuffer(job);
                buffer->setData(picture.bytes);
                buffer->open(QIODevice::ReadOnly);
                job->reply(QByteArrayLiteral("image/bmp"), buffer);
                return;
            }
        }
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    }

private:
    struct Picture
    {
        QString address;
        QByteArray bytes;
    };
    QHash<QString, Picture> m_byFile;
    quint64 m_serial = 0;
};

// Brings the document up to date in place, in the program's own world (the page's scripts stay
// off): the new page is parsed apart, its pictures are pointed at the program's copies and loaded,
// and only then is the document swapped, in one go. The outcome comes back as a console message,
// "corvane-update <serial> done" or "... failed"; an update overtaken by a later one does nothing.
const char kUpdateScript[] = R"((function (serial, html, pictures) {
  window.corvaneUpdate = serial;
  const report = (outcome) => console.log('corvane-update ' + serial + ' ' + outcome);
  try {
    const fresh = new DOMParser().parseFromString(html, 'text/html');
    const loads = [];
    const probes = [];
    for (const img of fresh.images) {
      let file = null;
      try {
        file = decodeURIComponent(new URL(img.getAttribute('src'), document.baseURI).pathname);
      } catch (e) {
      }
      if (!(file in pictures))
        continue;
      img.setAttribute('src', pictures[file]);
      const probe = new Image();
      probes.push(probe);
      loads.push(new Promise((done, fail) => { probe.onload = done; probe.onerror = fail; }));
      probe.src = pictures[file];
    }
    // Pictures no longer shown let go of their image at once rather than when the script's
    // garbage is next collected, which typing at speed would otherwise outrun.
    const release = (images) => { for (const img of images) img.removeAttribute('src'); };
    Promise.all(loads).then(() => {
      release(probes);
      if (window.corvaneUpdate !== serial)
        return;
      const old = document.documentElement;
      document.replaceChild(document.adoptNode(fresh.documentElement), old);
      release(old.querySelectorAll('img'));
      report('done');
    }, () => { release(probes); report('failed'); });
  } catch (e) {
    report('failed');
  }
}))";

// A page that follows no link and opens no window.
class ReportPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;
    // An update's outcome: its serial and whether it was done.
    std::function<void(quint64 serial, bool done)> updateFinished;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int,
                                  const QString &) override
    {
        // Only the program's world can log: the page's own scripts do not run.
        const QStringList words = message.split(QLatin1Char(' '));
        if (words.size() == 3 && words[0] == QLatin1String("corvane-update") && updateFinished)
            updateFinished(words[1].toULongLong(), words[2] == QLatin1String("done"));
    }
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
// every report is rendered (webengine/reportrendering.h), with nothing from the network. The
// page goes before its profile.
class ReportView : public QWebEngineView
{
public:
    explicit ReportView(QWidget *parent) : QWebEngineView(parent), m_profile(new QWebEngineProfile)
    {
        m_profile->setHttpCacheType(QWebEngineProfile::NoCache);
        m_profile->setUrlRequestInterceptor(new LocalOnly(m_profile));
        m_pictures = new PictureStore(m_profile);
        m_profile->installUrlSchemeHandler(kPictureScheme, m_pictures);
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
    ReportPage &reportPage() const { return *m_page; }
    PictureStore &pictures() const { return *m_pictures; }

private:
    QWebEngineProfile *m_profile;
    PictureStore *m_pictures;
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
        m_view->reportPage().updateFinished = [this](quint64 serial, bool done) {
            if (serial == m_update)
                finishUpdate(done);
        };
        // An update that never reports (the renderer gone) gives way to a load.
        m_updateTimeout.setSingleShot(true);
        m_updateTimeout.setInterval(2000);
        QObject::connect(&m_updateTimeout, &QTimer::timeout, m_view,
                         [this] { finishUpdate(false); });
    }
    ~EngineBrowser() override
    {
        // The parent deletes the widget; without this browser it no longer reports its loads.
        if (m_view) {
            QObject::disconnect(m_view, &QWebEngineView::loadFinished, m_view, nullptr);
            m_view->reportPage().updateFinished = nullptr;
        }
    }
    QWidget *widget() const override { return m_view; }
    void load(const QUrl &url) override
    {
        m_updateTimeout.stop();
        m_view->load(url);
    }
    void reload() override
    {
        m_updateTimeout.stop();
        m_view->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
    }
    void update(const QByteArray &page, const QList<FileContent> &pictures) override
    {
        QJsonObject addresses;
        const QHash<QString, QString> taken = m_view->pictures().take(pictures);
        for (auto it = taken.begin(); it != taken.end(); ++it)
            addresses.insert(it.key(), it.value());
        const QJsonArray arguments{double(++m_update), QString::fromUtf8(page), addresses};
        const QByteArray json = QJsonDocument(arguments).toJson(QJsonDocument::Compact);
        // The arguments go in as JSON, which is a script's literal: the page's texts are data.
        m_view->page()->runJavaScript(
            QStringLiteral("%1.apply(null, %2)")
                .arg(QLatin1String(kUpdateScript), QString::fromUtf8(json)),
            QWebEngineScript::ApplicationWorld);
        m_updateTimeout.start();
    }
    QUrl url() const override { return m_view->url(); }

private:
    void finishUpdate(bool done)
    {
        if (!m_updateTimeout.isActive())
            return;
        m_updateTimeout.stop();
        if (!done) {
            // What could not be brought up to date in place is loaded from its file.
            m_view->triggerPageAction(QWebEnginePage::ReloadAndBypassCache);
            return;
        }
        if (loadFinished)
            loadFinished(true);
    }

    QPointer<ReportView> m_view;
    QTimer m_updateTimeout;
    quint64 m_update = 0;
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
    Engine() { registerPictureScheme(); }
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
