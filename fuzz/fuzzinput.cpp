#include "fuzzinput.h"

#include "heappeak.h"

#include "bendtable/bendtable.h"
#include "ground/jobfile.h"
#include "ground/numbers.h"

#include <QStringList>

#include <cmath>
#include <ctime>
#include <vector>

namespace corvane::fuzz {

namespace {

// Enough of each list to reach every query without making one input cost hundreds of lookups.
constexpr int kListItemsTried = 6;
constexpr int kRecordsTried = 6;
constexpr int kOrderChecked = 64;

double threadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The name of a field of the job file, for messages.
QString fieldName(const JobField &field)
{
    static const char *const common[kCommonTextCount] = {"Customer", "Part No", "Revision",
                                                         "Description"};
    const QString section = QStringLiteral(" of section %1").arg(field.section);
    using K = JobField::Kind;
    switch (field.kind) {
    case K::CommonHeader:
        return QStringLiteral("the common header");
    case K::Common:
        return QString::fromLatin1(common[field.index]);
    case K::Material:
        return QStringLiteral("Material");
    case K::Thickness:
        return QStringLiteral("Thickness");
    case K::VeeAll:
        return QStringLiteral("Vee All");
    case K::SectionHeader:
        return QStringLiteral("the header") + section;
    case K::View:
        return QStringLiteral("View") + section;
    case K::Rotate:
        return QStringLiteral("Rotate") + section;
    case K::Scale:
        return QStringLiteral("the 1:1 Scale") + section;
    case K::Notes:
        return QStringLiteral("Notes") + section;
    case K::Outside:
        return QStringLiteral("flange %1").arg(field.index) + section;
    case K::Angle:
        return QStringLiteral("angle %1").arg(field.index) + section;
    case K::Vee:
        return QStringLiteral("vee %1").arg(field.index) + section;
    }
    return {};
}

// Shows a text with its character codes, so that a difference in encoding can be seen.
QString codes(const QString &text)
{
    QStringList out;
    for (QChar c : text.left(24))
        out.append(QString::number(c.unicode(), 16));
    return QStringLiteral("\"%1\" [%2%3]")
        .arg(text.left(24), out.join(u' '), text.size() > 24 ? QStringLiteral(" ...") : QString());
}

QString checkJobFile(const QByteArray &bytes, qint64 &heapPeak)
{
    JobFileReadResult read;
    {
        HeapPeak heap;
        read = parseJobFile(bytes);
        heapPeak = heap.peakBytes();
    }
    if (!read.ok())
        return {};
    // A job that was read must save and read back as it was. The writer drops double quotes
    // (an item without quotes may hold one), so the texts are compared without them.
    JobFileContent expected = read.content;
    for (QString &text : expected.items)
        text = withoutQuotes(text);
    const JobFileReadResult again = parseJobFile(formatJobFile(read.content));
    if (!again.ok())
        return QStringLiteral("a job read from the file does not read back once saved: ") +
               again.error;
    for (int i = 0; i < kJobFileItemCount; ++i) {
        if (expected.items[i] != again.content.items[i])
            return QStringLiteral("%1 is %2 but reads back as %3 once saved")
                .arg(fieldName(kJobFileItems[i].field), codes(expected.items[i]),
                     codes(again.content.items[i]));
    }
    return {};
}

// The text with its ASCII letters in the other case: the same material to the table. Other
// letters may change more than their case: the German sharp s in capitals is "SS".
QString otherCase(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 128)
            c = c.isUpper() ? c.toLower() : c.toUpper();
    }
    return text;
}

// Asks for the bend of a material, thickness and vee as the calculation does: the two numbers
// read from their list texts as singles.
QString checkLookup(const BendTable &table, const QString &material, const QString &thickness,
                    const QString &vee)
{
    const BendLookup found = table.lookup(material, readSingle(thickness), readSingle(vee));
    if (found.found() && !(std::isfinite(found.kFactor) && std::isfinite(found.internalRadius)))
        return QStringLiteral("a lookup of %1 %2 %3 gives a value that is not finite")
            .arg(material, thickness, vee);
    return {};
}

QString checkBendTable(const QByteArray &bytes, qint64 &heapPeak)
{
    BendTableLoad load;
    {
        HeapPeak heap;
        load = BendTable::fromWorkbook(bytes);
        heapPeak = heap.peakBytes();
    }
    if (!load.table)
        return QStringLiteral("no table, not even an empty one");
    const BendTable &table = *load.table;
    if (!load.ok()) {
        if (load.error.isEmpty())
            return QStringLiteral("an error without a message");
        if (!table.records().empty())
            return QStringLiteral("records beside the error \"%1\"").arg(load.error);
        return {};
    }
    if (!load.error.isEmpty())
        return QStringLiteral("a message \"%1\" although the table loaded").arg(load.error);

    table.version();
    // The order is checked at the head of the list, where it costs nothing to speak of: a sheet
    // of thousands of materials would spend more time here than in the reader.
    const QStringList materials = table.materials();
    for (int i = 0; i < materials.size() && i < kOrderChecked; ++i) {
        if (materials[i].isEmpty())
            return QStringLiteral("an empty material in the list");
        if (i > 0 && materials[i - 1].toCaseFolded() >= materials[i].toCaseFolded())
            return QStringLiteral("the materials %1 and %2 are out of order or the same")
                .arg(materials[i - 1], materials[i]);
    }
    for (const QString &material : materials.mid(0, kListItemsTried)) {
        const QStringList thicknesses = table.thicknesses(material);
        if (thicknesses != table.thicknesses(otherCase(material)))
            return QStringLiteral("the thicknesses of %1 depend on its letter case").arg(material);
        for (const QString &thickness : thicknesses.mid(0, kListItemsTried)) {
            const QStringList vees = table.vees(material, readNumber(thickness));
            for (const QString &vee : vees.mid(0, kListItemsTried)) {
                const QString problem = checkLookup(table, material, thickness, vee);
                if (!problem.isEmpty())
                    return problem;
            }
        }
    }
    // Records as they stand, whatever the lists make of them.
    const std::vector<BendRecord> &records = table.records();
    for (size_t i = 0; i < records.size() && i < size_t(kRecordsTried); ++i) {
        const BendRecord &r = records[i];
        const QString material = r.material.toText();
        table.thicknesses(material);
        table.vees(material, readNumber(r.thickness.toText()));
        const QString problem = checkLookup(table, material, r.thickness.toText(), r.vee.toText());
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

} // namespace

std::optional<Target> targetNamed(const QString &name)
{
    if (name == QLatin1String("jobfile"))
        return Target::JobFile;
    if (name == QLatin1String("bendtable"))
        return Target::BendTable;
    return std::nullopt;
}

QString targetName(Target target)
{
    return target == Target::JobFile ? QStringLiteral("jobfile") : QStringLiteral("bendtable");
}

qint64 heapBudget(qsizetype inputSize)
{
    // A fixed allowance for the small allocations of any read (error texts, the empty table and
    // its index) and a small multiple of the input for what grows with it. Only the reader's
    // own call counts, not the checks made of its result afterwards.
    return 256 * 1024 + 32 * qint64(inputSize);
}

InputRun runInput(Target target, const QByteArray &bytes)
{
    InputRun run;
    const double start = threadCpuMilliseconds();
    run.problem = target == Target::JobFile ? checkJobFile(bytes, run.heapPeakBytes)
                                            : checkBendTable(bytes, run.heapPeakBytes);
    run.cpuMilliseconds = threadCpuMilliseconds() - start;
    if (run.problem.isEmpty() && run.heapPeakBytes > heapBudget(bytes.size()))
        run.problem = QStringLiteral("%1 bytes of heap at once for %2 bytes of input")
                          .arg(run.heapPeakBytes)
                          .arg(bytes.size());
    return run;
}

} // namespace corvane::fuzz
