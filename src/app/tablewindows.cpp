#include "app/tablewindows.h"

#include "bendtable/bendtablecheck.h"
#include "bendtable/bendtablesource.h"
#include "calculation/bendformulas.h"
#include "calculation/testbend.h"
#include "ground/job.h"
#include "ground/numbers.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <optional>

namespace corvane {

namespace {

QString millimetres(float value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" mm");
}

// A number typed into a box, or why there is none: "" for an empty box, else a problem such as
// "is no number".
std::optional<float> typed(const QLineEdit *box, QString *problem)
{
    problem->clear();
    if (box->text().trimmed().isEmpty())
        return std::nullopt;
    return wholeSingle(box->text(), problem);
}

} // namespace

TableCheckWindow::TableCheckWindow(BendTableSource &source, QWidget *parent)
    : QDialog(parent), m_source(source)
{
    setWindowTitle(QStringLiteral("Check Bend Table - Corvane"));
    auto *layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstFindings"));
    m_list->setWordWrap(true);
    m_list->setMinimumSize(640, 320);
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *again =
        buttons->addButton(QStringLiteral("Check &Again"), QDialogButtonBox::ActionRole);
    connect(again, &QPushButton::clicked, this, &TableCheckWindow::check);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    check();
}

void TableCheckWindow::check()
{
    const auto table = m_source.table();
    m_list->clear();
    const QString file = QDir::toNativeSeparators(m_source.path());
    if (!m_source.error().isEmpty()) {
        m_summary->setText(QStringLiteral("The bend table cannot be checked."));
        m_list->addItem(m_source.error());
        return;
    }
    const std::vector<TableFinding> findings = checkBendTable(*table);
    if (findings.empty()) {
        m_summary->setText(QStringLiteral("%1: no problems found.").arg(file));
        m_list->addItem(QStringLiteral("no problems found"));
        return;
    }
    m_summary->setText(
        QStringLiteral("%1: %2 %3. Rows are numbered as the spreadsheet program shows them; mend "
                       "them there, save the workbook and check again.")
            .arg(file)
            .arg(findings.size())
            .arg(findings.size() == 1 ? QStringLiteral("finding") : QStringLiteral("findings")));
    for (const TableFinding &finding : findings)
        m_list->addItem(finding.text);
}

QStringList TableCheckWindow::lines() const
{
    QStringList lines;
    for (int i = 0; i < m_list->count(); ++i)
        lines << m_list->item(i)->text();
    return lines;
}

TestBendWindow::TestBendWindow(BendTableSource &source, const Job &job, QWidget *parent)
    : QDialog(parent), m_source(source)
{
    setWindowTitle(QStringLiteral("Test Bend - Corvane"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Bend a strip of known flat length once, measure both "
                                            "flanges on the outside, and enter them here."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    const auto box = [this, form](const char *name, const QString &label, const QString &text) {
        auto *edit = new QLineEdit(text, this);
        edit->setObjectName(QLatin1String(name));
        form->addRow(label, edit);
        connect(edit, &QLineEdit::textChanged, this, &TestBendWindow::workOut);
        return edit;
    };
    m_material = new QComboBox(this);
    m_material->setObjectName(QStringLiteral("cmbMaterial"));
    m_thickness = new QComboBox(this);
    m_thickness->setObjectName(QStringLiteral("cmbThickness"));
    m_vee = new QComboBox(this);
    m_vee->setObjectName(QStringLiteral("cmbVee"));
    form->addRow(QStringLiteral("&Material"), m_material);
    form->addRow(QStringLiteral("&Thickness mm"), m_thickness);
    form->addRow(QStringLiteral("&Vee mm"), m_vee);
    m_angle = box("txtAngle", QStringLiteral("Bend &angle deg"), QStringLiteral("90"));
    m_blank = box("txtBlank", QStringLiteral("&Blank length mm"), {});
    m_flange1 = box("txtFlange1", QStringLiteral("Flange &1 outside mm"), {});
    m_flange2 = box("txtFlange2", QStringLiteral("Flange &2 outside mm"), {});
    m_radius = box("txtRadius", QStringLiteral("Inside &radius mm"), {});
    m_radius->setPlaceholderText(QStringLiteral("the table's, unless measured"));
    m_outcome = new QLabel(this);
    m_outcome->setObjectName(QStringLiteral("lblOutcome"));
    m_outcome->setWordWrap(true);
    m_outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_outcome->setMinimumWidth(420);
    layout->addWidget(m_outcome);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    m_material->addItems(m_source.table()->materials());
    m_material->setCurrentIndex(qMax(0, m_material->findText(job.material().text())));
    fillThicknesses();
    m_thickness->setCurrentIndex(qMax(0, m_thickness->findText(job.thickness().text())));
    fillVees();
    connect(m_material, &QComboBox::currentIndexChanged, this, [this] {
        fillThicknesses();
        fillVees();
        workOut();
    });
    connect(m_thickness, &QComboBox::currentIndexChanged, this, [this] {
        fillVees();
        workOut();
    });
    connect(m_vee, &QComboBox::currentIndexChanged, this, &TestBendWindow::workOut);
    workOut();
}

void TestBendWindow::fillThicknesses()
{
    const QSignalBlocker blocker(m_thickness);
    m_thickness->clear();
    m_thickness->addItems(m_source.table()->thicknesses(m_material->currentText()));
}

void TestBendWindow::fillVees()
{
    const QSignalBlocker blocker(m_vee);
    m_vee->clear();
    m_vee->addItems(
        m_source.table()->vees(m_material->currentText(), readNumber(m_thickness->currentText())));
}

void TestBendWindow::workOut()
{
    TestBend bend;
    bend.thickness = readSingle(m_thickness->currentText());
    const std::pair<QLineEdit *, QString> boxes[] = {{m_angle, QStringLiteral("bend angle")},
                                                     {m_blank, QStringLiteral("blank length")},
                                                     {m_flange1, QStringLiteral("first flange")},
                                                     {m_flange2, QStringLiteral("second flange")},
                                                     {m_radius, QStringLiteral("inside radius")}};
    std::array<std::optional<float>, 5> values;
    for (size_t k = 0; k < values.size(); ++k) {
        QString problem;
        values[k] = typed(boxes[k].first, &problem);
        if (!problem.isEmpty()) {
            m_outcome->setText(QStringLiteral("The %1 %2.").arg(boxes[k].second, problem));
            return;
        }
    }
    if (!values[0] || !values[1] || !values[2] || !values[3]) {
        m_outcome->setText(QStringLiteral("Enter the bend angle, the blank length and both "
                                          "flanges to work out the K factor."));
        return;
    }
    bend.angle = *values[0];
    bend.blank = *values[1];
    bend.flange1 = *values[2];
    bend.flange2 = *values[3];
    bend.radius = values[4];
    const BendLookup row = m_source.table()->lookup(m_material->currentText(), bend.thickness,
                                                    readSingle(m_vee->currentText()));
    const TestBendResult r = workOutTestBend(bend, row);
    if (!r.ok()) {
        m_outcome->setText(QStringLiteral("The K factor cannot be worked out: %1.").arg(r.error));
        return;
    }
    QStringList lines = {
        QStringLiteral("Bend deduction: %1").arg(millimetres(r.bd)),
        QStringLiteral("Outside setback: %1").arg(millimetres(r.ossb)),
        QStringLiteral("Bend allowance: %1").arg(millimetres(r.ba)),
        QStringLiteral("K factor: %1 (inside radius %2)")
            .arg(QString::number(r.kFactor, 'f', 4), millimetres(r.internalRadius)),
    };
    if (!r.implausible.isEmpty())
        lines << QStringLiteral("This measurement cannot be right: %1.").arg(r.implausible);
    if (r.tableKFactor) {
        const float tableBd =
            bendDeduction(*r.tableKFactor, row.internalRadius, bend.thickness, bend.angle);
        const float measuredBd =
            bendDeduction(r.kFactor, r.internalRadius, bend.thickness, bend.angle);
        const float withTable = flatNextToBend(100.0f, tableBd);
        const float withMeasured = flatNextToBend(100.0f, measuredBd);
        lines << QStringLiteral("The table's K factor: %1")
                     .arg(QString::number(*r.tableKFactor, 'f', 4))
              << QStringLiteral("A 100 mm flange next to one such bend is cut %1 flat with the "
                                "table's K factor, %2 with this one (%3).")
                     .arg(millimetres(withTable), millimetres(withMeasured),
                          millimetres(float(double(withMeasured) - double(withTable))));
    } else {
        lines << QStringLiteral("The table has no single row of this material, thickness and "
                                "vee to compare with.");
    }
    m_outcome->setText(lines.join(QLatin1Char('\n')));
}

QString TestBendWindow::outcome() const
{
    return m_outcome->text();
}

} // namespace corvane
