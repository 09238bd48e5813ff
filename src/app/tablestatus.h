#pragma once

// The second panel of the main window's status bar: the product, its version and the bend
// table's, or why the table cannot be read, and how many findings the table's check has. A click
// on it opens the maker's web page.
//
// The check runs once for each table read (BendTableSource hands out a new table when the
// workbook has changed), not at every refresh.

#include <QLabel>

#include <memory>

namespace corvane {

class BendTable;
class BendTableSource;

class TableStatus : public QLabel
{
    Q_OBJECT

public:
    TableStatus(BendTableSource &source, QWidget *parent);

    // Says how the table now stands.
    void refresh();

    // The panel's text; findings is how many the table's check has.
    static QString textOf(const QString &version, const QString &error, int findings = 0);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    BendTableSource &m_source;
    // The table whose check was counted last, and its findings.
    std::shared_ptr<const BendTable> m_checkedTable;
    int m_findings = 0;
};

} // namespace corvane
