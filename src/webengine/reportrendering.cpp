#include "webengine/reportrendering.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace corvane {

namespace {

// The cells and blocks that hold operator texts and the material name: the job header, the
// Material row, the notes and the view caption. They are the ones written left-aligned. A number
// of the table is never broken: its cells carry no such style.
const char kWrapStyle[] = "td[style*='text-align:left'], div[style*='text-align:left'], "
                          "div[style*='float:left'] { overflow-wrap: anywhere; }";

QString wrapScript()
{
    // A style sheet adopted by the document as it is created, before anything is laid out.
    return QStringLiteral("(function () {"
                          " const sheet = new CSSStyleSheet();"
                          " sheet.replaceSync(\"%1\");"
                          " document.adoptedStyleSheets = [...document.adoptedStyleSheets, sheet];"
                          "})();")
        .arg(QString::fromLatin1(kWrapStyle));
}

} // namespace

void prepareReportPage(QWebEnginePage &page)
{
    QWebEngineSettings *settings = page.settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // Pages ask for Trebuchet MS; where it is missing, a sans-serif face reads closest to it.
    settings->setFontFamily(QWebEngineSettings::StandardFont,
                            settings->fontFamily(QWebEngineSettings::SansSerifFont));

    QWebEngineScript wrap;
    wrap.setName(QStringLiteral("corvane-wrap"));
    // The page's own scripts are off; this one runs in a world of the program's own.
    wrap.setWorldId(QWebEngineScript::ApplicationWorld);
    wrap.setInjectionPoint(QWebEngineScript::DocumentCreation);
    wrap.setRunsOnSubFrames(false);
    wrap.setSourceCode(wrapScript());
    page.scripts().insert(wrap);
}

} // namespace corvane
