#include "app/quotefilter.h"

#include "ground/numbers.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace corvane {

namespace {

// A character that no text of a job may hold.
bool isQuote(QChar c)
{
    return c == u'\'' || c == u'"' || c.isNull();
}

bool hasQuote(const QString &text)
{
    return std::any_of(text.begin(), text.end(), isQuote);
}

} // namespace

QuoteFilter::QuoteFilter(QObject *parent) : QValidator(parent) {}

QuoteFilter *QuoteFilter::install(QLineEdit *edit)
{
    auto *filter = new QuoteFilter(edit);
    edit->installEventFilter(filter);
    edit->setValidator(filter);
    return filter;
}

QuoteFilter *QuoteFilter::install(QPlainTextEdit *edit)
{
    auto *filter = new QuoteFilter(edit);
    edit->installEventFilter(filter);
    // The strip runs inside the change that brought the quotes and raises a clean change of its
    // own, which reaches whoever connects to the document after this.
    connect(edit->document(), &QTextDocument::contentsChanged, filter,
            [edit] { stripDocument(edit); });
    return filter;
}

QValidator::State QuoteFilter::validate(QString &input, int &pos) const
{
    int before = 0;
    for (int i = 0; i < pos && i < input.size(); ++i)
        before += isQuote(input.at(i)) ? 1 : 0;
    if (before == 0 && !hasQuote(input))
        return Acceptable;
    input = withoutQuotes(input);
    pos -= before;
    return Acceptable;
}

bool QuoteFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QValidator::eventFilter(watched, event);
    // A typed quote is dropped before the box sees it.
    if (hasQuote(static_cast<QKeyEvent *>(event)->text()))
        return true;
    return QValidator::eventFilter(watched, event);
}

void QuoteFilter::stripDocument(QPlainTextEdit *edit)
{
    QTextDocument *document = edit->document();
    // Positions in the plain text are positions in the document: one character per block end.
    const QString text = document->toPlainText();
    if (!hasQuote(text))
        return;
    QTextCursor cursor(document);
    cursor.beginEditBlock(); // one change, raised at its end
    for (int i = int(text.size()) - 1; i >= 0; --i) {
        if (!isQuote(text.at(i)))
            continue;
        cursor.setPosition(i);
        cursor.setPosition(i + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
}

} // namespace corvane
