#include "app/formstyle.h"

#include "ground/picklist.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSignalBlocker>
#include <QWidget>

namespace corvane {

void styleCaption(QWidget &widget, double points)
{
    widget.setFont(designFont(points, true));
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, kNavy);
    widget.setPalette(palette);
}

QLabel *makeLabel(const QString &text, QWidget *parent, bool wrap, double points)
{
    auto *label = new QLabel(text, parent);
    styleCaption(*label, points);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(wrap);
    return label;
}

void styleBox(QWidget &box)
{
    box.setFont(designFont(kBoxPoints, true));
}

void showText(QLineEdit &edit, const QString &text)
{
    if (edit.text() != text)
        edit.setText(text);
}

void showReadingNote(QLineEdit &box, const QString &note)
{
    if (box.toolTip() == note)
        return;
    QPalette palette = box.palette();
    palette.setColor(QPalette::Base, note.isEmpty() ? QPalette().color(QPalette::Base) : kNoteTint);
    box.setPalette(palette);
    box.setToolTip(note);
    box.setAccessibleDescription(note);
}

void showPickList(QComboBox &box, const PickList &list)
{
    const QSignalBlocker blocker(&box);
    bool same = box.count() == list.items().size();
    for (int i = 0; same && i < box.count(); ++i)
        same = box.itemText(i) == list.items().at(i);
    if (!same) {
        box.clear();
        box.addItems(list.items());
    }
    if (box.currentIndex() != list.chosen())
        box.setCurrentIndex(list.chosen());
}

} // namespace corvane
