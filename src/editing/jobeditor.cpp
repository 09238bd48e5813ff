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

JobEditor::JobEditor(TableProvider tables, PageOptions options, QObject *parent)
    : QObject(parent), m_tables(std::move(tables)), m_options(std::move(options))
{}

JobEditor::~JobEditor() = default;

void JobEditor::setCommonText(int index, const QString &text)
{
    Batch batch(*this);
    m_job.setCommon(index, text);
    requestRecompute();
    m_job.setChanged(true);
}

void JobEditor::chooseMaterial(int index)
{
    Batch batch(*this);
    m_job.material().choose(index);
    materialChosen();
}

void JobEditor::chooseThickness(int index)
{
    Batch batch(*this);
    m_job.thickness().choose(index);
    thicknessChosen();
}

void JobEditor::chooseVeeAll(int index)
{
    Batch batch(*this);
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
    Batch batch(*this);
    m_job.section(n).setOutside(i, text);
    edited(n);
}

void JobEditor::setAngle(int n, int i, const QString &text)
{
    Batch batch(*this);
    Section &section = m_job.section(n);
    section.setAngle(i, text);
    section.setAngle(i, normalisedAngle(section.angle(i)));
    edited(n);
}

void JobEditor::chooseVee(int n, int i, int index)
{
    Batch batch(*this);
    m_job.section(n).vee(i).choose(index);
    edited(n);
}

void JobEditor::setView(int n, const QString &text)
{
    Batch batch(*this);
    m_job.section(n).setView(text);
    edited(n);
}

void JobEditor::chooseRotate(int n, int index)
{
    Batch batch(*this);
    m_job.section(n).rotate().choose(index);
    edited(n);
}

void JobEditor::setScale(int n, int scale)
{
    Batch batch(*this);
    m_job.section(n).setScale(scale);
    edited(n);
}

void JobEditor::setNotes(int n, const QString &text)
{
    Batch batch(*this);
    m_job.section(n).setNotes(text);
    edited(n);
}

void JobEditor::setWidth(int n, const QString &text)
{
    Batch batch(*this);
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
}

void JobEditor::openContent(const JobFileContent &content)
{
    Batch batch(*this);
    newJob();
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
}

void JobEditor::markSaved()
{
    m_job.setChanged(false);
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
