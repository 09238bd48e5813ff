#include "ground/picklist.h"

namespace corvane {

void PickList::setItems(QStringList items)
{
    m_items = std::move(items);
    m_chosen = -1;
}

QString PickList::text() const
{
    return m_chosen >= 0 ? m_items.at(m_chosen) : QString();
}

bool PickList::choose(int index)
{
    if (index < 0 || index >= m_items.size()) {
        m_chosen = -1;
        return false;
    }
    m_chosen = index;
    return true;
}

bool PickList::chooseText(const QString &text)
{
    const int index = m_items.indexOf(text);
    if (index < 0)
        return false;
    m_chosen = index;
    return true;
}

} // namespace corvane
