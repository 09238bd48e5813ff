#include "calculation/sectionpage.h"

#include "ground/units.h"
#include "ground/numbers.h"

#include <QDir>

#include <cmath>

namespace corvane {

namespace {

class Lines
{
public:
    Lines &operator<<(const QString &line)
    {
        m_text += line;
        m_text += QStringLiteral("\r\n");
        return *this;
    }
    QString text() const { return m_text; }

private:
    QString m_text;
};

QString rounded(float value, LengthUnit unit)
{
    return formatLength(roundHalfEven2(value), unit);
}

void writeHead(Lines &page, const Job &job, const PageOptions &options)
{
    page << QStringLiteral("<!DOCTYPE html>") << QStringLiteral("<html lang='en'>")
         << QStringLiteral("<head><meta http-equiv='X-UA-Compatible' content='IE=edge'>")
         << QStringLiteral("<title>Corvane</title>")
         << QStringLiteral("<meta http-equiv='Content-Type' content='text/html; charset=utf-8'>")
         << QStringLiteral(
                "<style>h5{text-align:left;} table{font-family: Trebuchet MS;font-size:.9em;"
                "width:100%;border-collapse: collapse;} table, th, td{padding:4px;"
                "text-align:right;vertical-align:top;border: 1px solid #000;} "
                "tar{text-align:right;} tal{text-align:left;} "
                "@media print{.noprint{display:none;}}</style>")
         << QStringLiteral("</head>") << QStringLiteral("<body oncontextmenu='return false'>")
         << QStringLiteral("<div style='width:100%;'><div style='float:left;'><img "
                           "style='height:40px;' alt='logo' src='") +
                pageAddress(QDir(options.programFolder).filePath(QStringLiteral("logo.png"))) +
                QStringLiteral("'></div>")
         << QStringLiteral("<div style='text-align:right;font-family:impact;font-size:1.4em;"
                           "color:#000080;'><i>Corvane</i></div>")
         << QStringLiteral("</div><br><br><br>") << QStringLiteral("<table>")
         << QStringLiteral("<tr><td style='width:100%;text-align:left;' colspan='3'>Customer : "
                           "<b>") +
                escapeHtml(job.common(CommonText::Customer)) + QStringLiteral("</b></td></tr>")
         << QStringLiteral("<tr><td style='width:25%;text-align:left;'>Part No : <b>") +
                escapeHtml(job.common(CommonText::PartNo)) +
                QStringLiteral("</b></td><td style='width:15%;text-align:left;'>Revision : <b>") +
                escapeHtml(job.common(CommonText::Revision)) +
                QStringLiteral(
                    "</b></td><td style='width:60%;text-align:left;'>Description : <b>") +
                escapeHtml(job.common(CommonText::Description)) + QStringLiteral("</b></td></tr>")
         << QStringLiteral("</table>") << QStringLiteral("<br>");
}

// The text escaped in one pass; with breakLines each CR LF becomes a line break (the page of a
// long note is written again at every keystroke).
QString escaped(const QString &text, bool breakLines)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c == u'&') {
            out += QLatin1String("&amp;");
        } else if (c == u'<') {
            out += QLatin1String("&lt;");
        } else if (c == u'>') {
            out += QLatin1String("&gt;");
        } else if (breakLines && c == u'\r' && i + 1 < size && text[i + 1] == u'\n') {
            out += QLatin1String("<br>");
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void writeSpecTable(Lines &page, const Section &section, const BendCalculation &c,
                    const PageOptions &options)
{
    const LengthUnit unit = options.unit;
    const QString label = unitLabel(unit);
    const QString detail = options.detailed ? QString() : QStringLiteral("display:none;");
    const QString columns = options.detailed ? QStringLiteral("9") : QStringLiteral("5");
    const QString detailCell = QStringLiteral("<td style='") + detail + QStringLiteral("'>");
    const QString detailHeader = QStringLiteral("<th style='") + detail + QStringLiteral("'>");

    page << QStringLiteral("<table><tr><td><div style='float:left;'><b>Section Specifications"
                           "</b></div><br><br>")
         << QStringLiteral("<table>")
         << QStringLiteral("<tr><td style='text-align:left;' colspan='") + columns +
                QStringLiteral("'>Material : <b>") + escapeHtml(c.material) +
                QStringLiteral("</b><br>Thickness : <b>") + formatLength(c.thickness, unit) +
                QStringLiteral(" ") + label + QStringLiteral("</b></td></tr>")
         << QStringLiteral("<tr><th>Flange Outside ") + label +
                QStringLiteral("</th><th>Bend Angle deg</th><th>Vee ") + label +
                QStringLiteral("</th><th>IR ") + label + QStringLiteral("</th>") + detailHeader +
                QStringLiteral("K Factor</th>") + detailHeader + QStringLiteral("OSSB ") + label +
                QStringLiteral("</th>") + detailHeader + QStringLiteral("BA ") + label +
                QStringLiteral("</th>") + detailHeader + QStringLiteral("BD ") + label +
                QStringLiteral("</th><th>Unfolded Length ") + label + QStringLiteral("</th></tr>");

    const QString notAvailable = QStringLiteral("n/a");
    for (int i = 0; i <= c.lastFlange; ++i) {
        QString row = QStringLiteral("<tr><td>") + formatLength(c.outside[i], unit);
        if (c.fullRow(i)) {
            const BendValues &b = c.bends[i];
            const bool found = b.found();
            row += QStringLiteral("</td><td>") + angleText(b.enteredAngle) +
                   QStringLiteral("</td><td>") + formatLength(b.vee, unit) +
                   QStringLiteral("</td><td>") +
                   (found ? formatLength(b.internalRadius, unit) : notAvailable) +
                   QStringLiteral("</td>") + detailCell +
                   (found ? singleText(b.kFactor) : notAvailable) + QStringLiteral("</td>") +
                   detailCell + (found ? rounded(b.ossb, unit) : notAvailable) +
                   QStringLiteral("</td>") + detailCell + rounded(b.ba, unit) +
                   QStringLiteral("</td>") + detailCell + rounded(b.bd, unit) +
                   QStringLiteral("</td>");
        } else {
            row += QStringLiteral("</td><td></td><td></td><td></td>");
            for (int k = 0; k < 4; ++k)
                row += detailCell + QStringLiteral("</td>");
        }
        page << row;
        // A flange of no flat length (a negative outside length) still closes its row.
        if (c.flatLength[i] != 0.0f)
            page << QStringLiteral("<td>") + rounded(c.flatLength[i], unit) +
                        QStringLiteral("</td></tr>");
        else
            page << QStringLiteral("<td></td></tr>");
    }
    page << QStringLiteral("<tr><th colspan='") + columns + QStringLiteral("'>Total : ") +
                rounded(c.unfoldedTotal, unit) + QStringLiteral("</th></tr>")
         << QStringLiteral("</table>");

    // A bend whose deduction could not be applied makes the blank too long: say so, and why.
    for (int j = 0; j < c.bendCount(); ++j) {
        if (!c.lookupMissing(j))
            continue;
        if (!c.tableError.isEmpty()) {
            page << QStringLiteral("<div style='text-align:left;color:#f00;'><b>The bend table "
                                   "could not be read, so no bend deduction is applied: ") +
                        escapeHtml(c.tableError) + QStringLiteral("</b></div>");
            break;
        }
        page << QStringLiteral("<div style='text-align:left;color:#f00;'><b>No bend table row for "
                               "bend %1 (vee ")
                        .arg(j + 1) +
                    formatLength(c.bends[j].vee, unit) + QStringLiteral(" ") + label +
                    QStringLiteral("): its bend deduction is not applied.</b></div>");
    }

    page << QStringLiteral("<div style='text-align:left;'><i>Notes : <br>") +
                escaped(section.notes(), true) + QStringLiteral("</i>")
         << QStringLiteral("</td>") << QStringLiteral("<td>");
}

void writeDiagrams(Lines &page, const Section &section, int number, const BendCalculation &c,
                   const PageOptions &options)
{
    page << QStringLiteral("<div style='float:left;'><b>Section Diagram </b><i>") +
                escapeHtml(section.view()) +
                QStringLiteral("</i></div><div style='float:right;'><i>") +
                scaleLabel(section.scale()) + QStringLiteral("</i></div><br><br>")
         << QStringLiteral("<img alt='section diagram' src='") +
                pageAddress(sectionDiagramPath(options.tempFolder, number)) + QStringLiteral("'>")
         << QStringLiteral("</td></tr>")
         << QStringLiteral("<tr><td colspan='2' style='width:100%;'>")
         << QStringLiteral("<div style='float:left;'><b>Marking Diagram</b></div><div "
                           "style='float:right;'><i>Not 1:1 Scale</i></div><br><br>");
    if (c.veeError) {
        page << QStringLiteral("<div style='text-align:center;height:350px;width:100%;"
                               "color:#f00;'><br><br><br><br><b>Error in Vee(s) selection.</b>"
                               "</div>");
    } else {
        page << QStringLiteral("<img alt='marking diagram' src='") +
                    pageAddress(markingDiagramPath(options.tempFolder, number)) +
                    QStringLiteral("'>");
    }
    page << QStringLiteral("</td></tr>") << QStringLiteral("</table>");
}

} // namespace

QString sectionPage(const Job &job, int number, const BendCalculation &calculation,
                    const PageOptions &options)
{
    Lines page;
    writeHead(page, job, options);
    if (calculation.gatePassed) {
        const Section &section = job.section(number);
        writeSpecTable(page, section, calculation, options);
        writeDiagrams(page, section, number, calculation, options);
    }
    page << QStringLiteral("</body>") << QStringLiteral("</html>");
    return page.text();
}

QString angleText(double angle)
{
    QString magnitude = doubleText(std::fabs(angle));
    if (magnitude.startsWith(QStringLiteral("0.")))
        magnitude.remove(0, 1);
    return (angle < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + magnitude +
           QStringLiteral(" ");
}

QString scaleLabel(int scale)
{
    return scale == 1 ? QStringLiteral("1:1 Scale") : QStringLiteral("Not 1:1 Scale");
}

QString escapeHtml(const QString &text)
{
    return escaped(text, false);
}

QString pageAddress(const QString &path)
{
    QString out;
    out.reserve(path.size());
    for (QChar c : path) {
        switch (c.unicode()) {
        case u'%':
        case u'#':
        case u'?':
        case u'\'':
        case u'"':
        case u'&':
        case u'<':
        case u'>':
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString sectionDiagramPath(const QString &tempFolder, int number)
{
    return QDir(tempFolder).filePath(QStringLiteral("sd%1.bmp").arg(number));
}

QString markingDiagramPath(const QString &tempFolder, int number)
{
    return QDir(tempFolder).filePath(QStringLiteral("md%1.bmp").arg(number));
}

QString sectionPagePath(const QString &tempFolder, int number)
{
    return QDir(tempFolder).filePath(QStringLiteral("wb%1.htm").arg(number));
}

} // namespace corvane
