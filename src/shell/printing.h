#pragma once

// Printing the report: the joined document of every section in use (shell/reportassembly.h),
// shown in a hidden browser of its own and handed to the print preview, from which the operator
// prints. The preview pane of the main window is never used for it and keeps showing the current
// section.

#include <QObject>
#include <QString>

class QPrinter;
class QWidget;

namespace corvane {

class PreviewPane;

class ReportPrinter : public QObject
{
    Q_OBJECT

public:
    explicit ReportPrinter(QWidget *parentWindow);
    ~ReportPrinter() override;

    // Loads the joined document into the hidden browser; false (with the reason) when it does not
    // load in time.
    bool load(const QString &documentPath, QString *error);
    // Opens the print preview of the loaded document, modal to the parent window.
    void preview();
    // Prints the loaded document on printer and returns when done.
    bool print(QPrinter &printer);

private:
    QWidget *m_parent;
    PreviewPane *m_pane;
};

} // namespace corvane
