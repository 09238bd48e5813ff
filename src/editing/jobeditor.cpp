#include "editing/jobeditor.h"

#include "ground/numbers.h"

#include <cmath>

namespace corvane {

// Every public operation runs inside a batch; the section computations it asks for are carried out
// when the outermost batch ends.
class JobEditor::Batch
{
public:
    explicit Batch(JobEditor &editor) : m_editor(editor) { ++m_editor.m_batchDepth; }
    ~Batch() { m_editor.endBatch(); }
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

private:
    JobEditor &m_editor;
};

// An edit of the operator's: a batch that records a step of the history once the edit is made.
class JobEditor::Edit
{
public:
    enum Kind
    {
        Typing,
        Choice
    };

    Edit(JobEditor &editor, const EditedField &field, Kind kind)
        : m_batch(editor), m_editor(editor), m_field(field), m_typing(kind == Typing),
          m_before(editor.choiceText(field))
    {}
    ~Edit() { m_editor.recordEdit(m_field, m_typing, m_before); }
    Edit(const Edit &) = delete;
    Edit &operator=(const Edit &) = delete;

private:
    Batch m_batch; // ends after the step is recorded
    JobEditor &m_editor;
    EditedField m_field;
    bool m_typing;
    QString m_before;
};

using Field = EditedField;
using K = EditedField::Kind;

JobEditor::JobEditor(TableProvider tables, PageOptions options, QObject *parent)
    : QObject(parent), m_tables(std::move(tables)), m_options(std::move(options))
{}

JobEditor::~JobEditor() = default;

void JobEditor::setCommonText(int index, const QString &text)
{
    Edit edit(*this, Field{K::Common, 0, index}, Edit::Typing);
    m_job.setCommon(index, text);
    requestRecompute();
    m_job.setChanged(true);
}

void JobEditor::chooseMaterial(int index)
{
    Edit edit(*this, Field{K::Material}, Edit::Choice);
    m_job.material().choose(index);
    materialChosen();
}

void JobEditor::chooseThickness(int index)
{
    Edit edit(*this, Field{K::Thickness}, Edit::Choice);
    m_job.thickness().choose(index);
    thicknessChosen();
}

void JobEditor::chooseVeeAll(int index)
{
    Edit edit(*this, Field{K::VeeAll}, Edit::Choice);
    m_job.veeAll().choose(index);
    veeAllChosen();
}

void JobEditor::materialChosen()
{
    // The thicknesses of the new material; the vee lists and chosen vees stay as they were.
    m_job.thickness().setItems(table()->thicknesses(m_job.material().text()));
    requestRecompute();
    m_job.setChanged(true);
}

void JobEditor::thicknessChosen()
{
    const QStringList vees =
        table()->vees(m_job.material().text(), readNumber(m_job.thickness().text()));
    // A thickness without vees leaves the earlier vee lists and choices alone.
    if (!vees.isEmpty()) {
        m_job.veeAll().setItems(vees);
        for (int j = 0; j < kBendCount; ++j) {
            for (int n = 1; n <= kSectionCount; ++n)
                m_job.section(n).vee(j).setItems(vees);
        }
        m_job.veeAll().choose(0);
        veeAllChosen();
    }
    requestRecompute();
    m_job.setChanged(true);
}

void JobEditor::veeAllChosen()
{
    const int index = m_job.veeAll().chosen();
    for (int j = 0; j < kBendCount; ++j) {
        for (int n = 1; n <= kSectionCount; ++n) {
            m_job.section(n).vee(j).choose(index);
            edited(n);
        }
    }
    requestRecompute();
    m_job.setChanged(true);
}

void JobEditor::setOutside(int n, int i, const QString &text)
{
    Edit edit(*this, Field{K::Outside, n, i}, Edit::Typing);
    m_job.section(n).setOutside(i, text);
    edited(n);
}

void JobEditor::setAngle(int n, int i, const QString &text)
{
    Edit edit(*this, Field{K::Angle, n, i}, Edit::Typing);
    Section &section = m_job.section(n);
    section.setAngle(i, text);
    section.setAngle(i, normalisedAngle(section.angle(i)));
    edited(n);
}

void JobEditor::chooseVee(int n, int i, int index)
{
    Edit edit(*this, Field{K::Vee, n, i}, Edit::Choice);
    m_job.section(n).vee(i).choose(index);
    edited(n);
}

void JobEditor::setView(int n, const QString &text)
{
    Edit edit(*this, Field{K::View, n}, Edit::Typing);
    m_job.section(n).setView(text);
    edited(n);
}

void JobEditor::chooseRotate(int n, int index)
{
    Edit edit(*this, Field{K::Rotate, n}, Edit::Choice);
    m_job.section(n).rotate().choose(index);
    edited(n);
}

void JobEditor::setScale(int n, int scale)
{
    Edit edit(*this, Field{K::Scale, n}, Edit::Choice);
    m_job.section(n).setScale(scale);
    edited(n);
}

void JobEditor::setNotes(int n, const QString &text)
{
    Edit edit(*this, Field{K::Notes, n}, Edit::Typing);
    m_job.section(n).setNotes(text);
    edited(n);
}

void JobEditor::setWidth(int n, const QString &text)
{
    Edit edit(*this, Field{K::Width, n}, Edit::Typing);
    m_job.section(n).setWidth(text);
    edited(n);
}

void JobEditor::showSection(int n)
{
    if (n < 1 || n > kSectionCount)
        return;
    Batch batch(*this);
    for (int k = 1; k <= kSectionCount; ++k)
        m_inUseMarks[k - 1] = m_job.section(k).inUse();
    m_shown = n;
    Q_EMIT shownSectionChanged(n);
    // Showing a window activates it, and activation computes it.
    compute(n);
}

void JobEditor::requestRecompute()
{
    Batch batch(*this);
    if (m_shown != 0)
        compute(m_shown);
}

void JobEditor::setUnit(LengthUnit unit)
{
    Batch batch(*this);
    m_options.unit = unit;
    requestRecompute();
}

void JobEditor::setDetailed(bool detailed)
{
    Batch batch(*this);
    m_options.detailed = detailed;
    requestRecompute();
}

void JobEditor::resetSections()
{
    m_job = Job();
    m_job.material().setItems(table()->materials());
    m_shown = 0;
    m_runs = {};
    m_pending = {};
    // Reloaded windows draw with the design's font again.
    m_runner.reset();
}

void JobEditor::newJob()
{
    Batch batch(*this);
    resetSections();
    showSection(1);
    m_job.setChanged(false);
    m_history.start(historyState());
}

void JobEditor::openContent(const JobFileContent &content)
{
    Batch batch(*this);
    newJob();
    m_recording = false;
    // Item by item in file order, as if the operator entered each: a choice that finds its item
    // sets off its cascade, one that does not leaves its list as it was.
    using K = JobField::Kind;
    for (int i = 0; i < kJobFileItemCount; ++i) {
        const JobField &f = kJobFileItems[i].field;
        const QString &text = content.items[i];
        switch (f.kind) {
        case K::CommonHeader:
        case K::SectionHeader:
            break;
        case K::Common:
            setCommonText(f.index, text);
            break;
        case K::Material:
            if (m_job.material().chooseText(text))
                materialChosen();
            break;
        case K::Thickness:
            if (m_job.thickness().chooseText(text))
                thicknessChosen();
            break;
        case K::VeeAll:
            if (m_job.veeAll().chooseText(text))
                veeAllChosen();
            break;
        case K::View:
            setView(f.section, text);
            break;
        case K::Rotate:
            if (m_job.section(f.section).rotate().chooseText(text))
                edited(f.section);
            break;
        case K::Scale:
            setScale(f.section, text.toInt());
            break;
        case K::Notes:
            setNotes(f.section, text);
            break;
        case K::Outside:
            setOutside(f.section, f.index, text);
            break;
        case K::Angle:
            setAngle(f.section, f.index, text);
            break;
        case K::Vee:
            if (m_job.section(f.section).vee(f.index).chooseText(text))
                edited(f.section);
            break;
        }
    }
    for (int n = 1; n <= kSectionCount; ++n)
        setWidth(n, content.widths[n - 1]);
    showSection(1);
    m_job.setChanged(false);
    m_recording = true;
    m_history.start(historyState());
}

void JobEditor::markSaved()
{
    Batch batch(*this); // whoever follows the flag hears of it
    m_job.setChanged(false);
    m_history.markSaved();
}

void JobEditor::markRecovered()
{
    Batch batch(*this);
    m_job.setChanged(true);
    m_history.forgetSaved();
}

void JobEditor::beginPaste()
{
    m_history.endRun();
    m_pasting = true;
}

void JobEditor::endPaste()
{
    m_pasting = false;
    m_history.endRun();
}

QString JobEditor::choiceText(const EditedField &field) const
{
    switch (field.kind) {
    case K::Material:
        return m_job.material().text();
    case K::Thickness:
        return m_job.thickness().text();
    case K::VeeAll:
        return m_job.veeAll().text();
    case K::Vee:
        return m_job.section(field.section).vee(field.index).text();
    case K::Rotate:
        return m_job.section(field.section).rotate().text().trimmed();
    default:
        return QString();
    }
}

void JobEditor::recordEdit(const EditedField &field, bool typing, const QString &before)
{
    if (!m_recording)
        return;
    QString what;
    if (typing)
        what = (m_pasting ? QStringLiteral("paste into ") : QStringLiteral("typing in ")) +
               field.name();
    else if (field.kind == K::Scale)
        what = field.name() + (m_job.section(field.section).scale() ? QStringLiteral(" on")
                                                                    : QStringLiteral(" off"));
    else {
        auto shown = [](const QString &text) {
            return text.isEmpty() ? QStringLiteral("none") : text;
        };
        what = QStringLiteral("%1%2 %3 → %4")
                   .arg(field.name(), field.section ? QStringLiteral(":") : QString(),
                        shown(before), shown(choiceText(field)));
    }
    // A paste is a step of its own: the run it makes ends with it (endPaste).
    m_history.record({what, field, m_shown}, typing, historyState());
}

void JobEditor::undo()
{
    if (const EditHistory::Step *step = m_history.undoStep()) {
        const EditHistory::Step made = *step;
        restore(m_history.undo(), made);
    }
}

void JobEditor::redo()
{
    if (const EditHistory::Step *step = m_history.redoStep()) {
        const EditHistory::Step made = *step;
        restore(m_history.redo(), made);
    }
}

EditHistory::State JobEditor::historyState() const
{
    return {m_job, m_runner.startFonts(m_shown)};
}

void JobEditor::restore(const EditHistory::State &state, const EditHistory::Step &step)
{
    {
        Batch batch(*this);
        m_job = state.job;
        m_runner.setStartFonts(state.fonts);
        m_job.setChanged(!m_history.atSaved());
        if (step.shown != m_shown)
            showSection(step.shown);
        else
            requestRecompute();
    }
    Q_EMIT stepRestored(step.field);
}

void JobEditor::edited(int n)
{
    compute(n);
    m_job.setChanged(true);
}

void JobEditor::compute(int n)
{
    if (n != m_shown)
        return;
    // The run is noted now, which sets the vee colours; it is drawn and written, or skipped for a
    // later one, at the end of the batch.
    const BendCalculation c = m_runner.note(m_job, n, *table());
    applyVeeColours(m_job.section(n), c);
    m_noted[n - 1] = c;
    m_pending[n - 1] = true;
}

void JobEditor::endBatch()
{
    if (--m_batchDepth > 0)
        return;
    ++m_batchDepth;
    // Hidden sections first, so that the shown one's page is the last one written.
    for (int n = 1; n <= kSectionCount; ++n) {
        if (m_pending[n - 1] && n != m_shown)
            fullRun(n);
    }
    if (m_shown != 0 && m_pending[m_shown - 1])
        fullRun(m_shown);
    --m_batchDepth;
    Q_EMIT jobChanged();
}

void JobEditor::fullRun(int n)
{
    m_pending[n - 1] = false;
    if (!m_writesPages) {
        m_runs[n - 1] = SectionRun{};
        m_runs[n - 1].calculation = m_noted[n - 1];
        return;
    }
    Q_EMIT statusChanged(QStringLiteral("Computing..."));
    m_runs[n - 1] = m_runner.write(m_job, n, m_noted[n - 1], m_options);
    Q_EMIT statusChanged(QString());
    const SectionRun &run = m_runs[n - 1];
    if (!run.ok())
        Q_EMIT writeFailed(run.error);
    Q_EMIT pageWritten(n, run.pageUrl, run.error);
}

QString JobEditor::normalisedAngle(const QString &text)
{
    // Each replacement of the text raises its change again, which brings the angle into range a
    // turn at a time (540 -> 180 -> 0). An angle of very many turns is brought in at once.
    QString current = text;
    for (int step = 0;; ++step) {
        double a = readNumber(current);
        // Four turns on the text bring any angle to 1620 in digit for digit as the box does; past
        // them fmod takes the rest at once, which turning could take for ever (1e20 - 360 = 1e20).
        if (step >= 4 && std::fabs(a) > 180) {
            a = std::fmod(a, 360.0);
            if (a > 180)
                a -= 360;
            else if (a < -180)
                a += 360;
            return a == 180 ? QStringLiteral("0") : doubleText(a);
        }
        if (a > 180)
            current = doubleText(a - 360);
        else if (a < -180)
            current = doubleText(a + 360);
        else if (a == 180)
            current = QStringLiteral("0");
        else
            return current;
    }
}

} // namespace corvane
