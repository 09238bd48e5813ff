#pragma once

// The questions and dialogs through which the desktop program asks the operator, as functions
// that the tests and the benchmarks replace: the main window holds them, and the commands it
// forwards to (documentcommands.h, printcommands.h) ask through them.

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace corvane {

class ReportPrinter;

struct OperatorDialogs
{
    // Asks a question with the given QMessageBox buttons and returns the button pressed; Escape
    // on a question of Yes and No gives Cancel.
    std::function<int(const QString &title, const QString &text, int buttons)> ask;
    // Offers back a job kept after a crash: true for Open (the default button), false for Not now.
    std::function<bool(const QString &text)> offerRecovered;
    // The job file to save to (save) or to open, or the empty text when the operator cancelled.
    // proposed is the file name to offer when saving, the folder to start in when opening.
    std::function<QString(bool save, const QString &proposed)> chooseFile;
    // The PDF file to export to, or the empty text when the operator cancelled.
    std::function<QString(const QString &proposed)> choosePdfFile;
    // The folder to export the flat blanks to, starting in proposed; empty when cancelled.
    std::function<QString(const QString &proposed)> chooseFolder;
    // Opens the print preview of the printer.
    std::function<void(ReportPrinter &printer)> showPrintPreview;
    // Shows a window of the Table command until it is closed.
    std::function<void(QDialog &window)> showTableWindow;

    // The message boxes and file dialogs of the program, modal to window.
    static OperatorDialogs standard(QWidget *window);
};

} // namespace corvane
