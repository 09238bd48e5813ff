#pragma once

// The preview pane: the report page of the shown section, redrawn after every change.
//
// The web engine (shell/webengine/webengine.h) is loaded and started only after the main window has
// been painted, so that the window appears at once; until then the pane is blank. Pages are shown
// in a locked-down browser: no script runs, nothing is fetched from the network, and a click in the
// page never leaves it. Every page has the same file name from one computation to the next, with
// the same picture names, so an unchanged address is reloaded past the cache. While a page is
// loading, only the latest page asked for is loaded next: typing never queues up loads.
//
// When a computation could not write its page or a picture (a full disk, a folder closed to the
// operator), the pane shows why instead of the page, which is no longer the current one, until a
// page is shown again.

#include <QUrl>
#include <QWidget>

#include <memory>

class QLabel;
class QStackedLayout;

namespace corvane {

class Browser;

class PreviewPane : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewPane(QWidget *parent = nullptr);
    ~PreviewPane() override;

    // Starts the web engine, when not yet started.
    void start();
    bool started() const { return m_browser != nullptr; }
    // Shows the page at url (a file), or a blank page for an empty url.
    void showPage(const QUrl &url);
    // Shows, instead of the page, that it could not be brought up to date and why; the message
    // names the file and the system's reason. It stays until showPage().
    void showProblem(const QString &message);
    // The problem shown, or the empty text while a page is shown.
    QString problem() const { return m_problem; }
    // The browser's widget (a QWebEngineView), or nullptr before the start.
    QWidget *view() const;
    // A load is under way or about to start; a page asked for meanwhile is loaded after it.
    bool loading() const { return m_loading; }

Q_SIGNALS:
    // A page was loaded and shown.
    void pageShown(const QUrl &url, bool ok);

private:
    void load();
    QLabel *makeNotice();
    void showCurrent();

    QStackedLayout *m_stack = nullptr;
    QWidget *m_blank = nullptr;
    QLabel *m_notice = nullptr;
    QString m_problem;
    std::unique_ptr<Browser> m_browser;
    QUrl m_wanted; // the page to show
    QUrl m_loaded; // the page the view holds or is loading
    bool m_loading = false;
    bool m_stale = false;   // the page changed on disk while it was loading
    bool m_refused = false; // the web engine cannot run in this process
};

} // namespace corvane
