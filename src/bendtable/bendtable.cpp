#include "bendtable/bendtable.h"

#include "bendtable/xlsreader.h"
#include "shell/ground/numbers.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>

namespace corvane {

namespace {

// The columns, in the order in which a missing one is reported.
enum class Column
{
    Material,
    Thickness,
    Vee,
    Standard,
    KFactor,
    InternalRadius,
    Version,
    Count
};
constexpr int kColumnCount = int(Column::Count);
const std::array<const char *, kColumnCount> kColumnNames = {
    "material", "thickness", "vee", "standard", "k_factor", "internal_radius", "version"};
constexpr int kRequiredColumns = int(Column::Version);

BendValue &field(BendRecord &record, Column column)
{
    switch (column) {
    case Column::Material:
        return record.material;
    case Column::Thickness:
        return record.thickness;
    case Column::Vee:
        return record.vee;
    case Column::Standard:
        return record.standard;
    case Column::KFactor:
        return record.kFactor;
    case Column::InternalRadius:
        return record.internalRadius;
    case Column::Version:
    case Column::Count:
        break;
    }
    return record.version;
}

// A text that is a number and nothing else, blanks around it aside ("1.5", " 2 ", "-1e3"); "1.5
// mm" and "" are not.
std::optional<double> wholeNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 64)
        return std::nullopt;
    std::string ascii = trimmed.toLatin1().toStdString();
    if (ascii[0] == '+')
        ascii.erase(0, 1);
    const char *first = ascii.data();
    const char *last = first + ascii.size();
    // from_chars would take "inf" and "nan", which no table writes as a number.
    if (first == last ||
        !(std::isdigit(static_cast<unsigned char>(*first)) || *first == '.' || *first == '-'))
        return std::nullopt;
    double value = 0.0;
    const auto res = std::from_chars(first, last, value);
    if (res.ec != std::errc() || res.ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The number a value stands for: a number, or a text that is a number.
std::optional<double> numberOf(const BendValue &value)
{
    switch (value.kind) {
    case BendValue::Kind::Number:
        return value.number;
    case BendValue::Kind::Text:
        return wholeNumber(value.text);
    case BendValue::Kind::Empty:
        break;
    }
    return std::nullopt;
}

// A number as a key: -0 and 0 are one value, as they are equal.
double keyOf(double value)
{
    return value == 0.0 ? 0.0 : value;
}

// The number that the query text of a value denotes: the value is written as text and that text
// is what a record's cell must equal. Not-finite values denote nothing.
std::optional<double> spliced(const QString &text, double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return keyOf(readNumber(text));
}

// The order of values in a sorted list: empty first, then numbers by value, then texts without
// regard to case (a settled column holds only one of the two).
int compareValues(const BendValue &a, const BendValue &b)
{
    if (a.kind != b.kind)
        return int(a.kind) < int(b.kind) ? -1 : 1;
    switch (a.kind) {
    case BendValue::Kind::Number:
        return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    case BendValue::Kind::Text:
        return a.text.compare(b.text, Qt::CaseInsensitive);
    case BendValue::Kind::Empty:
        break;
    }
    return 0;
}

QString materialKey(const QString &material)
{
    return material.toCaseFolded();
}

struct Triple
{
    QString material;
    double thickness;
    double vee;
    bool operator==(const Triple &o) const
    {
        return thickness == o.thickness && vee == o.vee && material == o.material;
    }
};

struct TripleHash
{
    size_t operator()(const Triple &t) const
    {
        const size_t h = qHash(t.material);
        return h ^ (std::hash<double>()(t.thickness) * 31) ^ (std::hash<double>()(t.vee) * 131);
    }
};

struct Pair
{
    QString material;
    double thickness;
    bool operator==(const Pair &o) const
    {
        return thickness == o.thickness && material == o.material;
    }
};

struct PairHash
{
    size_t operator()(const Pair &p) const
    {
        return qHash(p.material) ^ (std::hash<double>()(p.thickness) * 31);
    }
};

} // namespace

QString BendValue::toText() const
{
    switch (kind) {
    case Kind::Number:
        return doubleText(number);
    case Kind::Text:
        return text;
    case Kind::Empty:
        break;
    }
    return {};
}

// Every query's answer, worked out once when the table is made.
struct BendTable::Index
{
    // The records of one material, thickness and vee: the first in sheet order and how many.
    struct Matches
    {
        size_t first = 0;
        size_t count = 0;
    };
    QStringList materials;
    std::unordered_map<QString, QStringList> thicknesses; // by case-folded material
    std::unordered_map<Pair, QStringList, PairHash> vees;
    std::unordered_map<Triple, Matches, TripleHash> records;
};

BendTable::BendTable() : BendTable(std::vector<BendRecord>()) {}

BendTable::BendTable(std::vector<BendRecord> records)
    : m_records(std::move(records)), m_index(std::make_unique<Index>())
{
    // The records grouped by material, in sheet order within each group, by sorting them rather
    // than through a container per material: a sheet of a few thousand materials makes its
    // index in a few thousand allocations, not tens of thousands.
    std::vector<std::pair<QString, size_t>> byMaterial;
    byMaterial.reserve(m_records.size());
    for (size_t i = 0; i < m_records.size(); ++i) {
        const BendValue &material = m_records[i].material;
        if (material.isEmpty())
            continue;
        const QString text = material.toText();
        if (!text.isEmpty())
            byMaterial.emplace_back(materialKey(text), i);
    }
    std::sort(byMaterial.begin(), byMaterial.end());

    std::vector<const BendValue *> thick;
    std::vector<std::pair<double, size_t>> byThickness;
    for (size_t begin = 0, end = 0; begin < byMaterial.size(); begin = end) {
        const QString &key = byMaterial[begin].first;
        end = begin + 1;
        while (end < byMaterial.size() && byMaterial[end].first == key)
            ++end;
        // The material as the list shows it: spelled as first met in the sheet.
        m_index->materials.append(m_records[byMaterial[begin].second].material.toText());

        // Thicknesses: distinct and ascending.
        thick.clear();
        for (size_t j = begin; j < end; ++j) {
            const BendValue &thickness = m_records[byMaterial[j].second].thickness;
            if (!thickness.isEmpty())
                thick.push_back(&thickness);
        }
        std::stable_sort(thick.begin(), thick.end(), [](const BendValue *a, const BendValue *b) {
            return compareValues(*a, *b) < 0;
        });
        QStringList &list = m_index->thicknesses[key];
        for (size_t j = 0; j < thick.size(); ++j) {
            if (j == 0 || compareValues(*thick[j - 1], *thick[j]) != 0)
                list.append(thick[j]->toText());
        }

        // Vees by thickness, highest standard first, then sheet order; the records of each
        // thickness and vee.
        byThickness.clear();
        for (size_t j = begin; j < end; ++j) {
            const size_t i = byMaterial[j].second;
            const BendRecord &r = m_records[i];
            const std::optional<double> thickness = numberOf(r.thickness);
            if (!thickness)
                continue;
            byThickness.emplace_back(keyOf(*thickness), i);
            if (const std::optional<double> vee = numberOf(r.vee)) {
                Index::Matches &matches = m_index->records[{key, keyOf(*thickness), keyOf(*vee)}];
                if (matches.count++ == 0)
                    matches.first = i;
            }
        }
        std::sort(byThickness.begin(), byThickness.end(), [this](const auto &a, const auto &b) {
            if (a.first != b.first)
                return a.first < b.first;
            const int standard =
                compareValues(m_records[a.second].standard, m_records[b.second].standard);
            return standard != 0 ? standard > 0 : a.second < b.second;
        });
        for (size_t j = 0, next = 0; j < byThickness.size(); j = next) {
            QStringList vees;
            for (next = j;
                 next < byThickness.size() && byThickness[next].first == byThickness[j].first;
                 ++next) {
                const BendValue &vee = m_records[byThickness[next].second].vee;
                if (!vee.isEmpty())
                    vees.append(vee.toText());
            }
            m_index->vees.emplace(Pair{key, byThickness[j].first}, std::move(vees));
        }
    }
}

BendTable::~BendTable() = default;

QString BendTable::version() const
{
    return m_records.empty() ? QString() : m_records.front().version.toText();
}

QStringList BendTable::materials() const
{
    return m_index->materials;
}

QStringList BendTable::thicknesses(const QString &material) const
{
    const auto it = m_index->thicknesses.find(materialKey(material));
    return it == m_index->thicknesses.end() ? QStringList() : it->second;
}

QStringList BendTable::vees(const QString &material, double thickness) const
{
    const std::optional<double> t = spliced(doubleText(thickness), thickness);
    if (!t)
        return {};
    const auto it = m_index->vees.find({materialKey(material), *t});
    return it == m_index->vees.end() ? QStringList() : it->second;
}

BendLookup BendTable::lookup(const QString &material, float thickness, float vee) const
{
    BendLookup result;
    const std::optional<double> t = spliced(singleText(thickness), double(thickness));
    const std::optional<double> v = spliced(singleText(vee), double(vee));
    if (!t || !v)
        return result;
    const auto it = m_index->records.find({materialKey(material), *t, *v});
    if (it == m_index->records.end())
        return result;
    if (it->second.count > 1) {
        result.status = BendLookup::Status::SeveralRecords;
        return result;
    }
    const BendRecord &record = m_records[it->second.first];
    const std::optional<double> k = numberOf(record.kFactor);
    const std::optional<double> ir = numberOf(record.internalRadius);
    constexpr double largest = std::numeric_limits<float>::max();
    if (!k || !ir || std::fabs(*k) > largest || std::fabs(*ir) > largest) {
        result.status = BendLookup::Status::EmptyValues;
        return result;
    }
    result.status = BendLookup::Status::Found;
    result.kFactor = float(*k);
    result.internalRadius = float(*ir);
    result.standard = record.standard.toText().toUpper() == QLatin1String("YES");
    return result;
}

BendTableLoad BendTable::fromWorkbook(const QByteArray &bytes)
{
    XlsSheetResult sheet = readXlsSheet(bytes, sheetName());
    if (sheet.ok())
        return fromCells(sheet.cells);
    BendTableLoad load;
    load.table = std::make_shared<const BendTable>();
    load.error = sheet.error;
    switch (sheet.errorKind) {
    case XlsSheetResult::Error::NotWorkbook:
        load.errorKind = BendTableLoad::Error::NotWorkbook;
        break;
    case XlsSheetResult::Error::NoSheet:
        load.errorKind = BendTableLoad::Error::NoSheet;
        break;
    case XlsSheetResult::Error::Password:
        load.errorKind = BendTableLoad::Error::Password;
        break;
    case XlsSheetResult::Error::None:
    case XlsSheetResult::Error::Damaged:
        load.errorKind = BendTableLoad::Error::Damaged;
        break;
    }
    return load;
}

BendTableLoad BendTable::fromCells(const std::vector<XlsCell> &cells)
{
    BendTableLoad load;
    const auto holdsSomething = [](const XlsCell &c) {
        return c.kind == XlsCell::Kind::Number ||
               (c.kind == XlsCell::Kind::Text && !c.text.isEmpty());
    };

    // The header row: the first that holds anything.
    const auto firstUsed = std::find_if(cells.begin(), cells.end(), holdsSomething);
    std::array<int, kColumnCount> columnAt;
    columnAt.fill(-1);
    if (firstUsed != cells.end()) {
        const int headerRow = firstUsed->row;
        for (auto c = firstUsed; c != cells.end() && c->row == headerRow; ++c) {
            const QString name =
                c->kind == XlsCell::Kind::Number ? doubleText(c->number) : c->text.trimmed();
            for (int k = 0; k < kColumnCount; ++k) {
                if (columnAt[k] < 0 &&
                    name.compare(QLatin1String(kColumnNames[k]), Qt::CaseInsensitive) == 0)
                    columnAt[k] = c->column;
            }
        }
    }
    for (int k = 0; k < kRequiredColumns; ++k) {
        if (columnAt[k] < 0) {
            load.table = std::make_shared<const BendTable>();
            load.errorKind = BendTableLoad::Error::NoColumn;
            load.error = QStringLiteral("no column %1").arg(QLatin1String(kColumnNames[k]));
            return load;
        }
    }

    // One record per later row that holds anything; a column of numbers and texts is a column
    // of texts.
    auto c = firstUsed;
    while (c != cells.end() && c->row == firstUsed->row)
        ++c;
    // Counted first, so that the records take no more than they need: a record is 280 bytes, the
    // row it comes from can be 14, and rows far apart must not reserve the rows between them.
    size_t rowsUsed = 0;
    int lastCounted = -1;
    for (auto r = c; r != cells.end(); ++r) {
        if (r->row != lastCounted && holdsSomething(*r)) {
            ++rowsUsed;
            lastCounted = r->row;
        }
    }
    std::vector<BendRecord> records;
    records.reserve(rowsUsed);
    std::array<bool, kColumnCount> hasNumber{}, hasText{};
    while (c != cells.end()) {
        const int row = c->row;
        BendRecord record;
        bool used = false;
        for (; c != cells.end() && c->row == row; ++c) {
            used = used || holdsSomething(*c);
            for (int k = 0; k < kColumnCount; ++k) {
                if (c->column != columnAt[k])
                    continue;
                BendValue &value = field(record, Column(k));
                if (c->kind == XlsCell::Kind::Number) {
                    value = BendValue::fromNumber(c->number);
                    hasNumber[k] = true;
                } else if (c->kind == XlsCell::Kind::Text && !c->text.isEmpty()) {
                    value = BendValue::fromText(c->text);
                    hasText[k] = true;
                }
            }
        }
        if (used)
            records.push_back(std::move(record));
    }
    for (int k = 0; k < kColumnCount; ++k) {
        if (!(hasNumber[k] && hasText[k]))
            continue;
        for (BendRecord &record : records) {
            BendValue &value = field(record, Column(k));
            if (value.kind == BendValue::Kind::Number)
                value = BendValue::fromText(doubleText(value.number));
        }
    }
    load.table = std::make_shared<const BendTable>(std::move(records));
    return load;
}

} // namespace corvane
