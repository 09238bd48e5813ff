#include "editing/edithistory.h"

namespace corvane {

namespace {

const char *const kCommonNames[kCommonTextCount] = {"Customer", "Part No", "Revision",
                                                    "Description"};

} // namespace

QString EditedField::name() const
{
    const QString of = QStringLiteral(" of section %1").arg(section);
    switch (kind) {
    case Kind::Common:
        return QString::fromLatin1(kCommonNames[index]);
    case Kind::Material:
        return QStringLiteral("Material");
    case Kind::Thickness:
        return QStringLiteral("Thickness");
    case Kind::VeeAll:
        return QStringLiteral("Vee All");
    case Kind::Outside:
        return QStringLiteral("flange %1").arg(index + 1) + of;
    case Kind::Angle:
        return QStringLiteral("angle %1").arg(index + 1) + of;
    case Kind::Vee:
        return QStringLiteral("vee %1").arg(index + 1) + of;
    case Kind::View:
        return QStringLiteral("View") + of;
    case Kind::Rotate:
        return QStringLiteral("Rotate") + of;
    case Kind::Scale:
        return QStringLiteral("1:1 Scale") + of;
    case Kind::Notes:
        return QStringLiteral("Notes") + of;
    case Kind::Width:
        return QStringLiteral("Width") + of;
    }
    return QString();
}

void EditHistory::start(const State &state)
{
    m_states = {state};
    m_steps.clear();
    m_current = 0;
    m_saved = 0;
    m_runOpen = false;
}

void EditHistory::record(const Step &step, bool typing, const State &after)
{
    const bool joins = typing && m_runOpen && m_current > 0 && m_current == int(m_steps.size()) &&
                       m_steps.back().field == step.field;
    if (joins) {
        m_states.back() = after;
        // Typed back to where the run began: the run stays open, but no step is left.
        if (m_states[m_current - 1].job.sameContent(after.job)) {
            m_states.pop_back();
            m_steps.pop_back();
            --m_current;
            m_runOpen = false;
        }
        return;
    }
    m_runOpen = false;
    if (m_states[m_current].job.sameContent(after.job))
        return;
    // A new step drops the steps that were undone.
    m_states.resize(m_current + 1);
    m_steps.resize(m_current);
    if (m_saved > m_current)
        m_saved = -1;
    m_steps.push_back(step);
    m_states.push_back(after);
    ++m_current;
    m_runOpen = typing;
    if (int(m_steps.size()) > m_limit) {
        m_steps.pop_front();
        m_states.pop_front();
        --m_current;
        m_saved = m_saved > 0 ? m_saved - 1 : -1;
    }
}

const EditHistory::State &EditHistory::undo()
{
    m_runOpen = false;
    return m_states[--m_current];
}

const EditHistory::State &EditHistory::redo()
{
    m_runOpen = false;
    return m_states[++m_current];
}

void EditHistory::markSaved()
{
    m_runOpen = false;
    m_saved = m_current;
}

} // namespace corvane
