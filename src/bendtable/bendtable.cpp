#include "bendtable/bendtable.h"

#include "bendtable/xlsreader.h"
#include "ground/numbers.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <mutex>
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
    case Column::Version: // not kept in the record
    case Column::Count:
        break;
    }
    return record.internalRadius;
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

} // namespace

std::optional<double> BendValue::toNumber() const
{
    return numberOf(*this);
}

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

// The records grouped by material when the table is made; what the queries of a material need is
// worked out when one first asks, so that a table of many materials costs little more to make
// than to read, and the job's few materials are the ones sorted.
struct BendTable::Index
{
    struct Material
    {
        std::vector<size_t> records; // in sheet order
        bool sorted = false;         // the rest is made
        QStringList thicknesses;
        // The records with a thickness that is a number, by thickness and then sheet order.
        std::vector<std::pair<double, size_t>> byThickness;
    };
    QStringList materials;
    std::unordered_map<QString, size_t> byKey; // groups by case-folded material
    std::vector<Material> groups;
    std::mutex mutex; // a table is shared; its first queries sort what they need

    // The group of the material, sorted, or nullptr when no record has that material.
    const Material *find(const QString &material, const std::vector<BendRecord> &records);
};

BendTable::BendTable() : BendTable(std::vector<BendRecord>()) {}

BendTable::BendTable(std::vector<BendRecord> records, QString version, std::vector<int> rows)
    : m_records(std::move(records)), m_version(std::move(version)), m_rows(std::move(rows)),
      m_index(std::make_unique<Index>())
{
    // Sheets repeat a material row after row, and the reader hands out one text for the cells of
    // one shared string: a text met before finds its group without being case-folded again.
    std::unordered_map<const QChar *, size_t> byText;
    for (size_t i = 0; i < m_records.size(); ++i) {
        const BendValue &material = m_records[i].material;
        if (material.isEmpty())
            continue;
        const QString number =
            material.kind == BendValue::Kind::Number ? material.toText() : QString();
        const QString &text = material.kind == BendValue::Kind::Number ? number : material.text;
        if (text.isEmpty())
            continue;
        const auto known = number.isEmpty() ? byText.find(text.constData()) : byText.end();
        size_t group = 0;
        if (known != byText.end()) {
            group = known->second;
        } else {
            const auto [entry, added] =
                m_index->byKey.try_emplace(materialKey(text), m_index->groups.size());
            if (added)
                m_index->groups.emplace_back();
            group = entry->second;
            if (number.isEmpty())
                byText.emplace(text.constData(), group);
        }
        m_index->groups[group].records.push_back(i);
    }
    // The materials ascending, each spelled as first met in the sheet.
    std::vector<const QString *> keys;
    keys.reserve(m_index->byKey.size());
    for (const auto &entry : m_index->byKey)
        keys.push_back(&entry.first);
    std::sort(keys.begin(), keys.end(), [](const QString *a, const QString *b) { return *a < *b; });
    for (const QString *key : keys) {
        const size_t first = m_index->groups[m_index->byKey.at(*key)].records.front();
        m_index->materials.append(m_records[first].material.toText());
    }
}

const BendTable::Index::Material *BendTable::Index::find(const QString &material,
                                                         const std::vector<BendRecord> &records)
{
    const auto it = byKey.find(materialKey(material));
    if (it == byKey.end())
        return nullptr;
    const std::lock_guard<std::mutex> lock(mutex);
    Material &group = groups[it->second];
    if (group.sorted)
        return &group;
    // Thicknesses: distinct and ascending.
    std::vector<const BendValue *> thick;
    for (const size_t i : group.records) {
        const BendValue &thickness = records[i].thickness;
        if (!thickness.isEmpty())
            thick.push_back(&thickness);
    }
    std::stable_sort(thick.begin(), thick.end(), [](const BendValue *a, const BendValue *b) {
        return compareValues(*a, *b) < 0;
    });
    for (size_t j = 0; j < thick.size(); ++j) {
        if (j == 0 || compareValues(*thick[j - 1], *thick[j]) != 0)
            group.thicknesses.append(thick[j]->toText());
    }
    for (const size_t i : group.records) {
        if (const std::optional<double> thickness = numberOf(records[i].thickness))
            group.byThickness.emplace_back(keyOf(*thickness), i);
    }
    std::sort(group.byThickness.begin(), group.byThickness.end());
    group.sorted = true;
    return &group;
}

BendTable::~BendTable() = default;

std::shared_ptr<const BendTable> BendTable::unreadable(QString why)
{
    auto table = std::make_shared<BendTable>();
    table->m_readError = std::move(why);
    return table;
}

QString BendTable::version() const
{
    return m_version;
}

QStringList BendTable::materials() const
{
    return m_index->materials;
}

QStringList BendTable::thicknesses(const QString &material) const
{
    const Index::Material *group = m_index->find(material, m_records);
    return group ? group->thicknesses : QStringList();
}

namespace {

// The records of one thickness in a material's records by thickness, in sheet order.
std::pair<std::vector<std::pair<double, size_t>>::const_iterator,
          std::vector<std::pair<double, size_t>>::const_iterator>
ofThickness(const std::vector<std::pair<double, size_t>> &byThickness, double thickness)
{
    const auto first = std::lower_bound(byThickness.begin(), byThickness.end(),
                                        std::pair<double, size_t>(thickness, 0));
    auto last = first;
    while (last != byThickness.end() && last->first == thickness)
        ++last;
    return {first, last};
}

} // namespace

QStringList BendTable::vees(const QString &material, double thickness) const
{
    const std::optional<double> t = spliced(doubleText(thickness), thickness);
    const Index::Material *group = t ? m_index->find(material, m_records) : nullptr;
    if (!group)
        return {};
    const auto [first, last] = ofThickness(group->byThickness, *t);
    std::vector<size_t> records;
    for (auto it = first; it != last; ++it)
        records.push_back(it->second);
    // Highest standard first, then sheet order.
    std::stable_sort(records.begin(), records.end(), [this](size_t a, size_t b) {
        return compareValues(m_records[a].standard, m_records[b].standard) > 0;
    });
    QStringList vees;
    for (const size_t i : records) {
        if (!m_records[i].vee.isEmpty())
            vees.append(m_records[i].vee.toText());
    }
    return vees;
}

BendLookup BendTable::lookup(const QString &material, float thickness, float vee) const
{
    BendLookup result;
    const std::optional<double> t = spliced(singleText(thickness), double(thickness));
    const std::optional<double> v = spliced(singleText(vee), double(vee));
    if (!t || !v)
        return result;
    const Index::Material *group = m_index->find(material, m_records);
    if (!group)
        return result;
    // The first record of the thickness and vee in sheet order, and whether there are more.
    const BendRecord *match = nullptr;
    const auto [first, last] = ofThickness(group->byThickness, *t);
    for (auto it = first; it != last; ++it) {
        const BendRecord &candidate = m_records[it->second];
        const std::optional<double> vee = numberOf(candidate.vee);
        if (!vee || keyOf(*vee) != *v)
            continue;
        if (match) {
            result.status = BendLookup::Status::SeveralRecords;
            return result;
        }
        match = &candidate;
    }
    if (!match)
        return result;
    const BendRecord &record = *match;
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
        return fromCells(std::move(sheet.cells));
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

BendTableLoad BendTable::fromCells(std::vector<XlsCell> cells)
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
    records.reserve(rowsUsed + 1); // and room for a row that holds nothing
    std::vector<int> rows;
    rows.reserve(rowsUsed);
    std::array<bool, kColumnCount> hasNumber{}, hasText{};
    QString version;
    // The field of each sheet column, or -1.
    const int lastColumn = *std::max_element(columnAt.begin(), columnAt.end());
    std::vector<int> fieldAt(size_t(lastColumn) + 1, -1);
    for (int k = kColumnCount - 1; k >= 0; --k) {
        if (columnAt[k] >= 0)
            fieldAt[size_t(columnAt[k])] = k;
    }
    while (c != cells.end()) {
        const int row = c->row;
        // Made in place, and taken back when the row holds nothing.
        BendRecord &record = records.emplace_back();
        bool used = false;
        for (; c != cells.end() && c->row == row; ++c) {
            used = used || holdsSomething(*c);
            const int k = c->column <= lastColumn ? fieldAt[size_t(c->column)] : -1;
            if (k < 0)
                continue;
            if (k == int(Column::Version)) {
                // Its type does not matter: a number reads the same settled as a text.
                if (records.size() == 1 && holdsSomething(*c))
                    version = c->kind == XlsCell::Kind::Number ? doubleText(c->number) : c->text;
                continue;
            }
            BendValue &value = field(record, Column(k));
            if (c->kind == XlsCell::Kind::Number) {
                value.kind = BendValue::Kind::Number;
                value.number = c->number;
                value.text.clear();
                hasNumber[k] = true;
            } else if (c->kind == XlsCell::Kind::Text && !c->text.isEmpty()) {
                value.kind = BendValue::Kind::Text;
                value.number = 0.0;
                value.text = std::move(c->text);
                hasText[k] = true;
            }
        }
        if (!used)
            records.pop_back();
        else
            rows.push_back(row + 1);
    }
    for (int k = 0; k < int(Column::Version); ++k) {
        if (!(hasNumber[k] && hasText[k]))
            continue;
        for (BendRecord &record : records) {
            BendValue &value = field(record, Column(k));
            if (value.kind == BendValue::Kind::Number)
                value = BendValue::fromText(doubleText(value.number));
        }
    }
    load.table =
        std::make_shared<const BendTable>(std::move(records), std::move(version), std::move(rows));
    return load;
}

} // namespace corvane
