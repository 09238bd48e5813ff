#include "app/operatordialogs.h"

#include "app/printing.h"
#include "app/screenfit.h"
#include "ground/maker.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace corvane {

namespace {

int askInBox(QWidget *window, const QString &title, const QString &text, int buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::StandardButtons(buttons),
                    window);
    // Escape, or the box's close button, answers no question: on a box of Yes and No it cancels,
    // through a Cancel button that is never shown, and only the No button says No.
    if ((buttons & QMessageBox::No) && !(buttons & QMessageBox::Cancel)) {
        QPushButton *cancel = box.addButton(QMessageBox::Cancel);
        cancel->hide();
        box.setEscapeButton(cancel);
    }
    return box.exec();
}

bool offerInBox(QWidget *window, const QString &text)
{
    QMessageBox box(QMessageBox::Question, maker::kProduct, text, QMessageBox::NoButton, window);
    QPushButton *open = box.addButton(QStringLiteral("Open"), QMessageBox::AcceptRole);
    QPushButton *later = box.addButton(QStringLiteral("Not now"), QMessageBox::RejectRole);
    box.setDefaultButton(open);
    box.setEscapeButton(later);
    box.exec();
    return box.clickedButton() == open;
}

QString chosenIn(QFileDialog &dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString chooseJobFile(QWidget *window, bool save, const QString &proposed)
{
    QFileDialog dialog(window);
    dialog.setNameFilter(QStringLiteral("Corvane (*.bm)"));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The dialog adds ".bm" to a name typed without an extension, and asks before replacing
        // a file of the name it then has.
        dialog.setDefaultSuffix(QStringLiteral("bm"));
        dialog.selectFile(proposed);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!proposed.isEmpty())
            dialog.setDirectory(proposed);
    }
    return chosenIn(dialog);
}

QString choosePdf(QWidget *window, const QString &proposed)
{
    QFileDialog dialog(window, QStringLiteral("Export PDF"));
    dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(proposed);
    return chosenIn(dialog);
}

} // namespace

OperatorDialogs OperatorDialogs::standard(QWidget *window)
{
    OperatorDialogs dialogs;
    dialogs.ask = [window](const QString &title, const QString &text, int buttons) {
        return askInBox(window, title, text, buttons);
    };
    dialogs.offerRecovered = [window](const QString &text) {
        return offerInBox(window, text);
    };
    dialogs.chooseFile = [window](bool save, const QString &proposed) {
        return chooseJobFile(window, save, proposed);
    };
    dialogs.choosePdfFile = [window](const QString &proposed) {
        return choosePdf(window, proposed);
    };
    dialogs.chooseFolder = [window](const QString &proposed) {
        return QFileDialog::getExistingDirectory(window, QStringLiteral("Export DXF"), proposed);
    };
    dialogs.showPrintPreview = [](ReportPrinter &printer) {
        printer.preview();
    };
    dialogs.showTableWindow = [](QDialog &dialog) {
        fitToScreen(dialog, dialog.sizeHint());
        dialog.exec();
    };
    return dialogs;
}

} // namespace corvane
