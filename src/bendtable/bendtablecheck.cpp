#include "bendtable/bendtablecheck.h"

#include "bendtable/bendtable.h"

#include <QStringList>

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

namespace corvane {

namespace {

// A value as the finding quotes it: numbers as the list shows them, texts in quotes.
QString quoted(const BendValue &value)
{
    return value.kind == BendValue::Kind::Text ? QLatin1Char('"') + value.text + QLatin1Char('"')
                                               : value.toText();
}

// A number as a key: -0 and 0 are one value.
double keyOf(double value)
{
    return value == 0.0 ? 0.0 : value;
}

class Checker
{
public:
    Checker(const BendTable &table, const std::vector<int> &rows) : m_table(table), m_rows(rows) {}

    std::vector<TableFinding> run()
    {
        const std::vector<BendRecord> &records = m_table.records();
        for (size_t i = 0; i < records.size(); ++i)
            checkRecord(records[i], rowOf(i));
        checkStandards();
        if (!records.empty() && m_table.version().isEmpty())
            add(rowOf(0), QStringLiteral("version: empty in the first row; the status bar "
                                         "shows no version"));
        std::stable_sort(
            m_findings.begin(), m_findings.end(),
            [](const TableFinding &a, const TableFinding &b) { return a.row < b.row; });
        return m_findings;
    }

private:
    // A table made from records rather than a sheet numbers them after a header row.
    int rowOf(size_t record) const
    {
        return record < m_rows.size() ? m_rows[record] : int(record) + 2;
    }

    void add(int row, const QString &text)
    {
        m_findings.push_back({row, QStringLiteral("row %1: %2").arg(row).arg(text)});
    }

    // The number of a column that must hold one, or none with a finding.
    std::optional<double> number(int row, const char *column, const BendValue &value)
    {
        if (value.isEmpty()) {
            add(row, QStringLiteral("%1: empty").arg(QLatin1String(column)));
            return std::nullopt;
        }
        const std::optional<double> n = value.toNumber();
        if (!n)
            add(row,
                QStringLiteral("%1: %2 is no number").arg(QLatin1String(column), quoted(value)));
        return n;
    }

    void checkRecord(const BendRecord &r, int row)
    {
        const QString material = r.material.toText();
        if (material.isEmpty()) {
            add(row, QStringLiteral("material: empty; the queries leave this row out"));
            return;
        }
        checkSpelling(material, row);
        const std::optional<double> thickness = number(row, "thickness", r.thickness);
        const std::optional<double> vee = number(row, "vee", r.vee);
        const std::optional<double> k = number(row, "k_factor", r.kFactor);
        const std::optional<double> radius = number(row, "internal_radius", r.internalRadius);
        if (thickness && *thickness <= 0)
            add(row, QStringLiteral("thickness: %1 is not above 0").arg(r.thickness.toText()));
        if (vee && *vee <= 0)
            add(row, QStringLiteral("vee: %1 is not above 0").arg(r.vee.toText()));
        if (k && (*k < 0 || *k > 1))
            add(row, QStringLiteral("k_factor: %1 is outside 0 to 1").arg(r.kFactor.toText()));
        if (radius && *radius < 0)
            add(row,
                QStringLiteral("internal_radius: %1 is negative").arg(r.internalRadius.toText()));
        if (!thickness)
            return;
        // The lookups take the material without regard to case, and the numbers as numbers.
        const QString key = material.toCaseFolded();
        Group &group = m_groups[{key, keyOf(*thickness)}];
        if (group.rows.empty())
            group.name = material + QLatin1Char(' ') + r.thickness.toText();
        group.rows.push_back(row);
        if (r.standard.toText().toUpper() == QLatin1String("YES"))
            group.standardRows.push_back(row);
        if (!vee)
            return;
        const auto [first, added] =
            m_bends.try_emplace(std::make_tuple(key, keyOf(*thickness), keyOf(*vee)), row);
        if (!added)
            add(row, QStringLiteral("material, thickness, vee: the same as row %1; the lookups of "
                                    "%2 %3 on vee %4 fail")
                         .arg(first->second)
                         .arg(material, r.thickness.toText(), r.vee.toText()));
    }

    // Names that the list may show apart although they differ only in case or blanks.
    void checkSpelling(const QString &material, int row)
    {
        const QString key = material.trimmed().toCaseFolded();
        const auto [known, added] = m_spellings.try_emplace(key, Spelling{material, row, {}});
        if (added || known->second.text == material || known->second.others.contains(material))
            return;
        known->second.others.append(material);
        const bool blanks =
            material.trimmed() != material || known->second.text.trimmed() != known->second.text;
        add(row, QStringLiteral("material: \"%1\" and \"%2\" of row %3 differ only in %4; the "
                                "lookups take them as %5")
                     .arg(material, known->second.text)
                     .arg(known->second.row)
                     .arg(blanks ? QStringLiteral("blanks around them or letter case")
                                 : QStringLiteral("letter case"),
                          blanks ? QStringLiteral("two materials") : QStringLiteral("one")));
    }

    void checkStandards()
    {
        for (const auto &[key, group] : m_groups) {
            Q_UNUSED(key);
            if (group.standardRows.empty()) {
                add(group.rows.front(),
                    QStringLiteral("standard: no vee of %1 is marked YES; none is offered first")
                        .arg(group.name));
            } else if (group.standardRows.size() > 1) {
                QStringList rows;
                for (const int row : group.standardRows)
                    rows << QString::number(row);
                add(group.standardRows[1],
                    QStringLiteral("standard: %1 has vees marked YES in rows %2; one is offered "
                                   "first")
                        .arg(group.name, rows.join(QStringLiteral(", "))));
            }
        }
    }

    struct Group
    {
        QString name; // material and thickness as first met
        std::vector<int> rows;
        std::vector<int> standardRows;
    };
    struct Spelling
    {
        QString text;
        int row = 0;
        QStringList others;
    };

    const BendTable &m_table;
    const std::vector<int> &m_rows;
    std::vector<TableFinding> m_findings;
    std::map<std::pair<QString, double>, Group> m_groups;
    std::map<std::tuple<QString, double, double>, int> m_bends;
    std::map<QString, Spelling> m_spellings;
};

} // namespace

std::vector<TableFinding> checkBendTable(const BendTable &table)
{
    return Checker(table, table.rows()).run();
}

} // namespace corvane
