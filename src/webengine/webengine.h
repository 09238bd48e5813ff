#pragma once

// What the program asks of QtWebEngine and QtPdf, as interfaces the web engine module implements.
//
// QtWebEngine and QtPdf are libraries so large that loading them into the process, before main()
// runs, takes as long as building and painting the whole main window. The desktop program
// therefore links neither: the module corvane-webengine (webenginemodule.cpp here) implements
// these interfaces, and the program loads it when it first needs it, after its window has been
// painted (webengine/webengineloader.h). Through them the windows get the preview's browser, the
// PDF of a report document (pdfexport.h) and the pages of a PDF as pictures, without a line of
// either library.

#include "ground/filewrite.h"

#include <QList>
#include <QPageLayout>
#include <QString>

#include <functional>
#include <memory>

class QImage;
class QSize;
class QSizeF;
class QUrl;
class QWidget;

namespace corvane {

// A locked-down browser showing one page at a time: no script of the page, nothing from the
// network, no navigation away.
class Browser
{
public:
    virtual ~Browser() = default;
    // The browser's widget: a child of the parent it was made for, which deletes it.
    virtual QWidget *widget() const = 0;
    virtual void load(const QUrl &url) = 0;
    // Loads the page shown again, past the cache.
    virtual void reload() = 0;
    // Brings the page shown, loaded from its file, up to date in place: page is what the file now
    // holds, and pictures are files that it shows with what they now hold, taken from these bytes
    // and not from the files. The document is swapped whole once its pictures are ready, so that
    // no frame shows it half done; where the page cannot be updated so, it is loaded again.
    virtual void update(const QByteArray &page, const QList<FileContent> &pictures) = 0;
    virtual QUrl url() const = 0;
    // Called when a load or an update has finished.
    std::function<void(bool ok)> loadFinished;
};

// The pages of a PDF file, drawn as pictures.
class PdfPages
{
public:
    virtual ~PdfPages() = default;
    virtual bool load(const QString &path) = 0;
    virtual void close() = 0;
    virtual int pageCount() const = 0;
    virtual QSizeF pagePointSize(int page) const = 0;
    virtual QImage render(int page, const QSize &pixels) = 0;
};

class WebEngine
{
public:
    virtual ~WebEngine() = default;
    // Why the engine cannot run in this process, or the empty text (PdfExport::sandboxProblem).
    virtual QString sandboxProblem() const = 0;
    // A browser whose widget is a child of parent.
    virtual std::unique_ptr<Browser> createBrowser(QWidget *parent) = 0;
    // Renders the HTML file into a PDF file and returns when done: the error, or the empty text
    // (webengine/pdfexport.h).
    virtual QString exportPdf(const QString &htmlPath, const QString &pdfPath) = 0;
    // The paper and margins of the PDF files it renders.
    virtual QPageLayout pageLayout() const = 0;
    virtual std::unique_ptr<PdfPages> createPdfPages() = 0;
};

// The name under which the module hands out its engine: an extern "C" function of no arguments
// that returns the WebEngine.
inline constexpr char kWebEngineEntry[] = "corvane_webEngine";

} // namespace corvane
