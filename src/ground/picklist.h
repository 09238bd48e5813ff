#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// A pick list of the input windows: its items and the chosen one, or none. Choosing by text takes
// the first item that equals the text exactly (case and blanks count) and leaves the choice as it
// was when no item does; that is how a stored job finds its way back into the lists.
class PickList
{
public:
    PickList() = default;
    explicit PickList(QStringList items) : m_items(std::move(items)) {}

    const QStringList &items() const { return m_items; }
    // Replaces the items; nothing is chosen afterwards.
    void setItems(QStringList items);
    void clear() { setItems({}); }

    int chosen() const { return m_chosen; }
    // The text of the chosen item, or the empty text when nothing is chosen.
    QString text() const;

    // Chooses the item at index; an index outside the list chooses nothing and returns false.
    bool choose(int index);
    bool chooseText(const QString &text);
    void unchoose() { m_chosen = -1; }

    bool operator==(const PickList &other) const
    {
        return m_items == other.m_items && m_chosen == other.m_chosen;
    }
    bool operator!=(const PickList &other) const { return !(*this == other); }

private:
    QStringList m_items;
    int m_chosen = -1;
};

} // namespace corvane
