#include "app/tablestatus.h"

#include "bendtable/bendtablecheck.h"
#include "bendtable/bendtablesource.h"
#include "ground/maker.h"

#include <QDesktopServices>

namespace corvane {

TableStatus::TableStatus(BendTableSource &source, QWidget *parent)
    : QLabel(parent), m_source(source)
{
    refresh();
    setCursor(Qt::PointingHandCursor);
    setToolTip(maker::kWebsite);
}

void TableStatus::refresh()
{
    const std::shared_ptr<const BendTable> table = m_source.table();
    if (table != m_checkedTable) {
        m_checkedTable = table;
        m_findings = m_source.error().isEmpty() ? int(checkBendTable(*table).size()) : 0;
    }
    setText(textOf(table->version(), m_source.error(), m_findings));
}

QString TableStatus::textOf(const QString &version, const QString &error, int findings)
{
    const QString product = maker::kProduct + QStringLiteral(" \u00AE ") + maker::versionText();
    if (!error.isEmpty())
        return product + QStringLiteral(", ") + error;
    QString text = product + QStringLiteral(", BendTbl.xls ") + version;
    if (findings > 0)
        text += QStringLiteral(" (the table check has %1 %2: Table, Check Bend Table)")
                    .arg(findings)
                    .arg(findings == 1 ? QStringLiteral("finding") : QStringLiteral("findings"));
    return text;
}

void TableStatus::mousePressEvent(QMouseEvent *event)
{
    QLabel::mousePressEvent(event);
    QDesktopServices::openUrl(maker::homePage());
}

} // namespace corvane
