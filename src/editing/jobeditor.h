#pragma once

// The editing logic of a job: what every action of the operator in the input windows does to it.
//
// The Common Details window and the five Section Details windows turn each action of the operator
// into one call here and redraw themselves from the job afterwards; they keep no state of their
// own. The cascade of choices is carried out here: a material refills the thicknesses, a thickness
// refills every vee list and chooses Vee All, Vee All sets the vee of every bend of every section,
// an angle is brought into -180 to 180 in its box. Every edit sets the Changed flag and recomputes
// the shown section, which writes its report page through the section runner
// (editing/sectionrunner.h); a hidden section is not computed until it is shown.
//
// The recomputes that one operation sets off are merged into one run of the shown section at its
// end. The runs it skips are still noted with the runner, in order (their calculations set the
// vee colours and move the canvas's font on), so the final page, pictures and colours are those
// that every run in turn would have left; the last calculation is the one written.
//
// Every edit is a step of the job's history (editing/edithistory.h): Undo and Redo give back the
// job as it was before or after a step, show the section it was made in and recompute it. The
// unit and the detail option are views of the job, not edits.

#include "bendtable/bendtable.h"
#include "calculation/sectionpage.h"
#include "editing/edithistory.h"
#include "editing/sectionrunner.h"
#include "ground/job.h"
#include "ground/jobfile.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>

namespace corvane {

class JobEditor : public QObject
{
    Q_OBJECT

public:
    using TableProvider = std::function<std::shared_ptr<const BendTable>()>;

    // The table provider gives the bend table as the workbook now stands; options give the program
    // and temp folders (the unit and detail settings are the editor's own).
    JobEditor(TableProvider tables, PageOptions options, QObject *parent = nullptr);
    ~JobEditor() override;

    const Job &job() const { return m_job; }
    // The shown section, 1 to 5, or 0 when none is shown.
    int activeSectionIndex() const { return m_shown; }
    // Whether section button n carries the in-use mark: brought up to date by showSection only.
    bool inUseMark(int n) const { return m_inUseMarks.at(n - 1); }
    LengthUnit unit() const { return m_options.unit; }
    bool detailed() const { return m_options.detailed; }
    const PageOptions &pageOptions() const { return m_options; }
    // The last run written of section n: its calculation, its page and any write error. The page
    // address is empty when the section was never computed.
    const SectionRun &lastRun(int n) const { return m_runs.at(n - 1); }
    // The runs of this editor's sections, with the history of their canvases.
    SectionRunner &runner() { return m_runner; }
    // Whether the runs of edits are drawn and written (the default) or only noted, which moves the
    // canvases' history on all the same: for a report, which runs every section itself after
    // opening the job.
    void setWritesPages(bool on) { m_writesPages = on; }

    // Common details.
    void setCommonText(int index, const QString &text);
    void chooseMaterial(int index);
    void chooseThickness(int index);
    void chooseVeeAll(int index);

    // Section details of section n.
    void setOutside(int n, int i, const QString &text);
    void setAngle(int n, int i, const QString &text);
    void chooseVee(int n, int i, int index);
    void setView(int n, const QString &text);
    void chooseRotate(int n, int index);
    void setScale(int n, int scale);
    void setNotes(int n, const QString &text);
    void setWidth(int n, const QString &text);

    // Shows section n and hides the others; the in-use marks are brought up to date and the
    // section is computed.
    void showSection(int n);
    // Recomputes the shown section without setting the Changed flag.
    void requestRecompute();
    // The display unit of the pages.
    void setUnit(LengthUnit unit);
    void setDetailed(bool detailed);

    // A new job: every field at its default, the material list read again, section 1 shown, the
    // Changed flag clear.
    void newJob();
    // Applies an opened file to a new job, item by item in file order, choosing pick-list items by
    // text with the cascade each choice sets off; then shows section 1 and clears the flag.
    void openContent(const JobFileContent &content);
    // The Changed flag after a successful Save.
    void markSaved();
    // The job just opened is a copy recovered after a crash: changed, with no saved state.
    void markRecovered();

    // Undo and Redo of the job, and the steps they would take back or make again (null when
    // there is none).
    void undo();
    void redo();
    const EditHistory::Step *undoStep() const { return m_history.undoStep(); }
    const EditHistory::Step *redoStep() const { return m_history.redoStep(); }
    // The caret left a box: the next edit in it is a step of its own.
    void endTyping() { m_history.endRun(); }
    // The edits between these two are one paste, a step of its own.
    void beginPaste();
    void endPaste();

    // The angle text after its box has brought it into -180 to 180 (190 -> -170, 540 -> 0).
    static QString normalisedAngle(const QString &text);

Q_SIGNALS:
    // The job changed: the windows redraw from job().
    void jobChanged();
    // Section n was computed and its page written to url; error names a page or picture that
    // could not be written, and why, or is empty. The preview shows the page when n is the shown
    // section and every file was written.
    void pageWritten(int n, const QUrl &url, const QString &error);
    // "Computing..." while a section is computed, empty afterwards.
    void statusChanged(const QString &text);
    // A page or picture could not be written.
    void writeFailed(const QString &message);
    void shownSectionChanged(int n);
    // Undo or Redo gave back the job of a step made in field, whose section is now shown: the
    // windows put the caret into the field's box.
    void stepRestored(const EditedField &field);

private:
    class Batch;
    class Edit;

    void edited(int n);
    void compute(int n);
    void fullRun(int n);
    void endBatch();
    std::shared_ptr<const BendTable> table() const { return m_tables(); }
    // The cascades that choosing a material, a thickness or Vee All sets off.
    void materialChosen();
    void thicknessChosen();
    void veeAllChosen();
    void resetSections();
    void recordEdit(const EditedField &field, bool typing, const QString &before);
    // The text of a pick list field as a step names it.
    QString choiceText(const EditedField &field) const;
    void restore(const EditHistory::State &state, const EditHistory::Step &step);
    EditHistory::State historyState() const;

    TableProvider m_tables;
    PageOptions m_options;
    Job m_job;
    int m_shown = 0;
    std::array<bool, kSectionCount> m_inUseMarks{};
    SectionRunner m_runner;
    bool m_writesPages = true;
    std::array<SectionRun, kSectionCount> m_runs;
    int m_batchDepth = 0;
    std::array<bool, kSectionCount> m_pending{};
    // The calculation of the run noted last for each section, which its write draws.
    std::array<BendCalculation, kSectionCount> m_noted;
    EditHistory m_history;
    bool m_recording = true; // off while a file is opened, item by item
    bool m_pasting = false;
};

} // namespace corvane
