#include "bendtable/bendtable.h"

#include "bendtable/xlsreader.h"
#include "shell/numbers.h"

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
    QStringList materials;
    std::unordered_map<QString, QStringList> thicknesses; // by case-folded material
    std::unordered_map<Pair, QStringList, PairHash> vees;
    std::unordered_map<Triple, std::vector<size_t>, TripleHash> records;
};

BendTable::BendTable() : BendTable(std::vector<BendRecord>()) {}

BendTable::BendTable(std::vector<BendRecord> records)
    : m_records(std::move(records)), m_index(std::make_unique<Index>())
{
    // Records of one material in sheet order, the material spelled as first met.
    std::vector<QString> materialOrder;
    std::unordered_map<QString, std::vector<size_t>> byMaterial;
    QHash<QString, QString> spelling;
    for (size_t i = 0; i < m_records.size(); ++i) {
        const BendValue &material = m_records[i].material;
        if (material.isEmpty())
            continue;
        const QString text = material.toText();
        if (text.isEmpty())
            continue;
        const QString key = materialKey(text);
        auto &list = byMaterial[key];
        if (list.empty()) {
            materialOrder.push_back(key);
            spelling.insert(key, text);
        }
        list.push_back(i);
    }

    std::sort(materialOrder.begin(), materialOrder.end());
    for (const QString &key : materialOrder)
        m_index->materials.append(spelling.value(key));

    for (const auto &[key, indices] : byMaterial) {
        // Thicknesses: distinct and ascending.
        std::vector<const BendValue *> thick;
        for (size_t i : indices) {
            if (!m_records[i].thickness.isEmpty())
                thick.push_back(&m_records[i].thickness);
        }
        std::stable_sort(thick.begin(), thick.end(), [](const BendValue *a, const BendValue *b) {
            return compareValues(*a, *b) < 0;
        });
        QStringList &list = m_index->thicknesses[key];
        for (size_t j = 0; j < thick.size(); ++j) {
            if (j == 0 || compareValues(*thick[j - 1], *thick[j]) != 0)
                list.append(thick[j]->toText());
        }

        // Vees by thickness, highest standard first, then sheet order; the one record of each
        // thickness and vee.
        std::unordered_map<Pair, std::vector<size_t>, PairHash> byThickness;
        for (size_t i : indices) {
            const BendRecord &r = m_records[i];
            const std::optional<double> thickness = numberOf(r.thickness);
            if (!thickness)
                continue;
            byThickness[{key, keyOf(*thickness)}].push_back(i);
            if (const std::optional<double> vee = numberOf(r.vee))
                m_index->records[{key, keyOf(*thickness), keyOf(*vee)}].push_back(i);
        }
        for (auto &[pair, rows] : byThickness) {
            std::stable_sort(rows.begin(), rows.end(), [this](size_t a, size_t b) {
                return compareValues(m_records[a].standard, m_records[b].standard) > 0;
            });
            QStringList &vees = m_index->vees[pair];
            for (size_t i : rows) {
                if (!m_records[i].vee.isEmpty())
                    vees.append(m_records[i].vee.toText());
            }
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
    if (it->second.size() > 1) {
        result.status = BendLookup::Status::SeveralRecords;
        return result;
    }
    const BendRecord &record = m_records[it->second.front()];
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
    std::vector<BendRecord> records;
    records.reserve(std::min<size_t>(cells.size(), size_t(cells.back().row - firstUsed->row)));
    std::array<bool, kColumnCount> hasNumber{}, hasText{};
    auto c = firstUsed;
    while (c != cells.end() && c->row == firstUsed->row)
        ++c;
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
