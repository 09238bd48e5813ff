#include "app/quotefilter.h"

#include "ground/numbers.h"

#include <QClipboard>
#include <QGuiApplication>
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

// A line edit begins a new undo step whenever its caret moves, as its own paste does on both
// sides of the pasted text.
void beginUndoStep(QLineEdit *edit)
{
    if (edit->hasSelectedText())
        return;
    const int pos = edit->cursorPosition();
    const int other = pos > 0 ? pos - 1 : pos + 1;
    if (other > edit->text().size())
        return;
    edit->setCursorPosition(other);
    edit->setCursorPosition(pos);
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
    const auto *key = static_cast<QKeyEvent *>(event);
    if (hasQuote(key->text()))
        return true;
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (edit && !edit->isReadOnly() && key->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text();
        if (hasQuote(pasted)) {
            beginUndoStep(edit);
            edit->insert(withoutQuotes(pasted));
            beginUndoStep(edit);
            return true;
        }
    }
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
    cursor.joinPreviousEditBlock();
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
