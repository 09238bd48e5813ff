#pragma once

// The preview pane: the report page of the shown section, redrawn after every change.
//
// The web engine (webengine/webengine.h) is loaded and started only after the main window has
// been painted, so that the window appears at once; until then the pane is blank. Pages are shown
// in a locked-down browser: no script of the page runs, nothing is fetched from the network, and a
// click in the page never leaves it. A section's page keeps its file name from one computation to
// the next: when the pane already shows it, the shown document is brought up to date in place from
// the page and pictures as the computation wrote them (which takes a frame or two, where a load
// takes several), else the file is loaded. While a load or an update is under way, only the latest
// page asked for follows it: typing never queues up loads.
//
// A load reads the pictures from their files, which the next computation may rewrite meanwhile:
// while one is under way, files are replaced whole (WholeFileWrites), so that no picture is read
// half-written. An update takes the pictures from memory.
//
// When a computation could not write its page or a picture (a full disk, a folder closed to the
// operator), the pane shows why instead of the page, which is no longer the current one, until a
// page is shown again.

#include "ground/filewrite.h"

#include <QByteArray>
#include <QList>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <optional>

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
    // Shows the page at url (a file), or a blank page for an empty url. Given what the file holds
    // and the pictures it shows as written, a page that the pane shows already is brought up to
    // date from them in place.
    void showPage(const QUrl &url, const QByteArray &page = {},
                  const QList<FileContent> &pictures = {});
    // Whether a page shown already is brought up to date in place (the default) or loaded again
    // from its file, as the benchmark compares.
    void setUpdateInPlace(bool on) { m_inPlace = on; }
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
    QUrl m_wanted;                 // the page to show
    QByteArray m_wantedPage;       // what its file holds, when known
    QList<FileContent> m_pictures; // and the pictures it shows
    QUrl m_loaded;                 // the page the view holds or is loading
    bool m_loadedOk = false;       // the view holds that page, loaded without fault
    bool m_inPlace = true;
    // The engine keeps the decoded pictures of a document for as long as it is shown, and every
    // update brings new ones: now and then the page is loaded afresh instead, which lets them go
    // and keeps memory flat, at the cost of one slower keystroke in this many.
    static constexpr int kUpdatesPerLoad = 32;
    int m_updatesSinceLoad = 0;
    std::optional<WholeFileWrites> m_wholeWrites; // while a load reads files
    bool m_loading = false;
    bool m_stale = false;   // the page changed on disk while it was loading
    bool m_refused = false; // the web engine cannot run in this process
};

} // namespace corvane
