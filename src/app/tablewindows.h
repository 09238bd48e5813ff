#pragma once

// The windows beside the Table command: the check of the bend table as it now stands, and the K
// factor worked out from a test bend (bendtable/bendtablecheck.h, calculation/testbend.h).

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace corvane {

class BendTableSource;
class Job;

class TableCheckWindow : public QDialog
{
    Q_OBJECT

public:
    TableCheckWindow(BendTableSource &source, QWidget *parent = nullptr);
    // Checks the workbook as it now stands and lists what was found.
    void check();
    // The lines shown: the findings, "no problems found", or why the workbook cannot be read.
    QStringList lines() const;

private:
    BendTableSource &m_source;
    QLabel *m_summary = nullptr;
    QListWidget *m_list = nullptr;
};

class TestBendWindow : public QDialog
{
    Q_OBJECT

public:
    // The lists come from the table; the job's material and thickness are chosen first.
    TestBendWindow(BendTableSource &source, const Job &job, QWidget *parent = nullptr);
    // What the window shows as the outcome, as plain text.
    QString outcome() const;

private:
    void fillThicknesses();
    void fillVees();
    void workOut();

    BendTableSource &m_source;
    QComboBox *m_material = nullptr;
    QComboBox *m_thickness = nullptr;
    QComboBox *m_vee = nullptr;
    QLineEdit *m_angle = nullptr;
    QLineEdit *m_blank = nullptr;
    QLineEdit *m_flange1 = nullptr;
    QLineEdit *m_flange2 = nullptr;
    QLineEdit *m_radius = nullptr;
    QLabel *m_outcome = nullptr;
};

} // namespace corvane
