#pragma once

// The history of a job's edits, for Undo and Redo.
//
// The history is the row of states the job has passed through since New or Open, and the step
// between each two: what the operator did, in which box, and which section was shown. A state is
// the whole job (texts, choices and lists; its strings are shared, so a state costs a few
// kilobytes at most), so that undoing a cascade gives back every list and vee it changed, with the
// font that each section's canvas would draw its next picture from (editing/sectionrunner.h), so
// that the pictures drawn again are those the state showed. A run of
// typing in one box is one step until the run is ended (the caret left the box, another box was
// edited, or a paste, Undo or Save came between); an edit that changes nothing is no step. The
// state last saved or opened is remembered, so that undoing back to it clears the Changed flag.

#include "diagrams/canvas.h"
#include "ground/job.h"

#include <QString>

#include <deque>

namespace corvane {

// The box an edit was made in.
struct EditedField
{
    enum class Kind
    {
        Common, // index: Customer, Part No, Revision, Description
        Material,
        Thickness,
        VeeAll,
        Outside, // flange index, 0 to 10
        Angle,   // bend index, 0 to 9
        Vee,     // bend index, 0 to 9
        View,
        Rotate,
        Scale,
        Notes,
        Width
    };
    Kind kind = Kind::Common;
    int section = 0; // 1 to 5 for a box of a section window; 0 for the Common Details
    int index = 0;

    bool operator==(const EditedField &other) const
    {
        return kind == other.kind && section == other.section && index == other.index;
    }

    // The box as the operator names it: "Thickness", "flange 3 of section 2", "Notes of section 1".
    QString name() const;
};

class EditHistory
{
public:
    struct State
    {
        Job job;
        std::array<CanvasFont, kSectionCount> fonts{};
    };
    struct Step
    {
        QString what; // "typing in flange 3 of section 2", "Thickness 2 → 3"
        EditedField field;
        int shown = 0; // the section shown when it was made
    };

    // Steps kept; the oldest give way beyond it.
    static constexpr int kLimit = 1000;

    explicit EditHistory(int limit = kLimit) : m_limit(limit) {}

    // Starts an empty history at state, the job as saved or opened.
    void start(const State &state);
    // The edit of a step that led to after. A typing edit in the box of the open run joins it.
    void record(const Step &step, bool typing, const State &after);
    // Ends the run of typing, so that the next edit is a step of its own.
    void endRun() { m_runOpen = false; }

    const Step *undoStep() const { return m_current > 0 ? &m_steps[m_current - 1] : nullptr; }
    const Step *redoStep() const
    {
        return m_current < int(m_steps.size()) ? &m_steps[m_current] : nullptr;
    }
    // Moves a step back or on and gives the state to restore; only when there is such a step.
    const State &undo();
    const State &redo();
    int size() const { return int(m_steps.size()); }

    // The state now shown is the one saved.
    void markSaved();
    bool atSaved() const { return m_saved == m_current; }
    // No state of the history is the one saved (a job recovered after a crash).
    void forgetSaved() { m_saved = -1; }

private:
    int m_limit;
    std::deque<State> m_states; // m_steps[i] leads from m_states[i] to m_states[i + 1]
    std::deque<Step> m_steps;
    int m_current = 0;
    int m_saved = 0; // -1 once the saved state is no longer in the history
    bool m_runOpen = false;
};

} // namespace corvane
