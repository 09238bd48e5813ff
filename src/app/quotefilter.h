#pragma once

#include <QValidator>

class QLineEdit;
class QPlainTextEdit;

namespace corvane {

// Keeps apostrophes and double quotes out of a free-text box, however they come: the job file
// cannot carry either. A typed quote is dropped as a key (filterQuoteKey); text that arrives by
// pasting, dropping or an input method loses its quotes before the box passes it on.
//
// On a line edit the filter is also the validator, which strips the quotes from whatever reaches
// the text. On a plain text edit the document is stripped after each change; connect to the
// document's contentsChanged after installing the filter to see only stripped text. (Undo is the
// job's, not the box's: app/undocommands.h.)
class QuoteFilter : public QValidator
{
    Q_OBJECT

public:
    // Attaches a filter to edit, as its child.
    static QuoteFilter *install(QLineEdit *edit);
    static QuoteFilter *install(QPlainTextEdit *edit);

    State validate(QString &input, int &pos) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit QuoteFilter(QObject *parent);
    static void stripDocument(QPlainTextEdit *edit);
};

} // namespace corvane
