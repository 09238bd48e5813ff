#pragma once

// The real main window, driven the way an operator drives it, for corvane-timing.
//
// The window works on a program folder of its own (a temporary copy of BendTbl.xls and logo.png),
// with its questions answered No and its file dialogs answered by the harness. It records when the
// preview finished loading a page and when the preview's web view drew a frame: the view draws
// Chromium's frames into a render widget (its focus proxy), which is painted whenever a new frame
// has come.

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <utility>

class QLineEdit;
class QWidget;

namespace corvane {

class MainWindow;
class ReportPrinter;

namespace timing {

class WindowHarness : public QObject
{
    Q_OBJECT

public:
    explicit WindowHarness(const QString &dataFolder);
    ~WindowHarness() override;

    // Shows the window, which starts the preview and a new job; false when section 1's page was
    // not shown within the time allowed.
    bool open();
    MainWindow &window() { return *m_window; }

    // Fills sections 1 to count with flanges and bends of MS 2 mm and shows section 1 again;
    // false when its page was not shown afterwards.
    bool fillSections(int count);
    // The flange box the keys go to: flange 1 of section 1, with the focus.
    QLineEdit &flangeBox();

    // When each page load of the preview finished, and when the render widget was painted, in
    // nowMs() time, since the window opened.
    const QList<double> &pagesShown() const { return m_pagesShown; }
    const QList<double> &framesDrawn() const { return m_framesDrawn; }
    // With pictures on, each frame drawn is also kept as the picture the view shows right after
    // its paint (taken when the event loop next turns).
    struct Frame
    {
        double time = 0;
        QImage picture;
    };
    void keepFramePictures(bool on) { m_keepPictures = on; }
    QList<Frame> takeFramePictures() { return std::exchange(m_pictures, {}); }
    // Whether the preview is loading a page now.
    bool previewLoading() const;
    // A picture of what the preview shows now.
    QImage previewPicture() const;
    // Waits until the preview has loaded nothing and drawn nothing for quietMs; false when it
    // stayed busy for timeoutMs.
    bool waitQuiet(int quietMs, int timeoutMs);

    // The file Export PDF writes to; what the print preview does instead of opening its dialog.
    QString pdfPath;
    std::function<void(ReportPrinter &)> printPreview;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchRenderWidget();

    QTemporaryDir m_folder;
    std::unique_ptr<MainWindow> m_window;
    QWidget *m_renderWidget = nullptr;
    mutable bool m_grabbing = false;
    bool m_keepPictures = false;
    QList<Frame> m_pictures;
    QList<double> m_pagesShown;
    QList<double> m_framesDrawn;
};

} // namespace timing
} // namespace corvane
