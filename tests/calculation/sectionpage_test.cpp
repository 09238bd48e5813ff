#include "calculation/sectionpage.h"

#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

QStringList pageLines(const Job &job, LengthUnit unit = LengthUnit::Millimetre,
                      bool detailed = false)
{
    const PageOptions o{unit, detailed, "/opt/corvane", QStringLiteral("/opt/corvane/temp")};
    const BendCalculation c = calculateSection(job.section(1), job.material().text(),
                                               job.thickness().text(), test::workedExampleTable());
    // Every line ends with CR LF, the last one too.
    QStringList lines = sectionPage(job, 1, c, o).split("\r\n");
    EXPECT_EQ(lines.takeLast(), QString());
    return lines;
}

TEST(SectionPage, WorkedExampleLineForLineWithTheOperatorsTextsEscaped)
{
    Job job = test::workedExampleJob();
    job.setCommon(CommonText::Customer, "<script>alert(1)</script>");
    job.setCommon(CommonText::PartNo, "BR<1>");
    job.setCommon(CommonText::Revision, "A&B");
    job.setCommon(CommonText::Description, "Bracket <img src=x>");
    job.section(1).setView("<b>");
    job.section(1).setNotes("x < y\r\nlone\rcr & <i>\n");
    const QString hidden = "<td style='display:none;'>";
    const QStringList expected = {
        "<!DOCTYPE html>",
        "<html lang='en'>",
        "<head><meta http-equiv='X-UA-Compatible' content='IE=edge'>",
        "<title>Corvane</title>",
        "<meta http-equiv='Content-Type' content='text/html; charset=utf-8'>",
        "<style>h5{text-align:left;} table{font-family: Trebuchet MS;font-size:.9em;width:100%;"
        "border-collapse: collapse;} table, th, td{padding:4px;text-align:right;vertical-align:"
        "top;border: 1px solid #000;} tar{text-align:right;} tal{text-align:left;} @media print"
        "{.noprint{display:none;}}</style>",
        "</head>",
        "<body oncontextmenu='return false'>",
        "<div style='width:100%;'><div style='float:left;'><img style='height:40px;' alt='logo' "
        "src='/opt/corvane/logo.png'></div>",
        "<div style='text-align:right;font-family:impact;font-size:1.4em;color:#000080;'><i>"
        "Corvane</i></div>",
        "</div><br><br><br>",
        "<table>",
        "<tr><td style='width:100%;text-align:left;' colspan='3'>Customer : <b>&lt;script&gt;"
        "alert(1)&lt;/script&gt;</b></td></tr>",
        "<tr><td style='width:25%;text-align:left;'>Part No : <b>BR&lt;1&gt;</b></td><td "
        "style='width:15%;text-align:left;'>Revision : <b>A&amp;B</b></td><td "
        "style='width:60%;text-align:left;'>Description : <b>Bracket &lt;img src=x&gt;</b></td>"
        "</tr>",
        "</table>",
        "<br>",
        "<table><tr><td><div style='float:left;'><b>Section Specifications</b></div><br><br>",
        "<table>",
        "<tr><td style='text-align:left;' colspan='5'>Material : <b>MS</b><br>Thickness : <b>2 mm"
        "</b></td></tr>",
        "<tr><th>Flange Outside mm</th><th>Bend Angle deg</th><th>Vee mm</th><th>IR mm</th><th "
        "style='display:none;'>K Factor</th><th style='display:none;'>OSSB mm</th><th "
        "style='display:none;'>BA mm</th><th style='display:none;'>BD mm</th><th>Unfolded Length "
        "mm</th></tr>",
        "<tr><td>50</td><td> 90 </td><td>16</td><td>2</td>" + hidden + "0.33</td>" + hidden +
            "4</td>" + hidden + "4.18</td>" + hidden + "3.82</td>",
        "<td>48.09</td></tr>",
        "<tr><td>100</td><td> 90 </td><td>16</td><td>2</td>" + hidden + "0.33</td>" + hidden +
            "4</td>" + hidden + "4.18</td>" + hidden + "3.82</td>",
        "<td>96.18</td></tr>",
        "<tr><td>50</td><td></td><td></td><td></td>" + hidden + "</td>" + hidden + "</td>" +
            hidden + "</td>" + hidden + "</td>",
        "<td>48.09</td></tr>",
        "<tr><th colspan='5'>Total : 192.36</th></tr>",
        "</table>",
        "<div style='text-align:left;'><i>Notes : <br>x &lt; y<br>lone<br>cr &amp; &lt;i&gt;<br>"
        "</i>",
        "</td>",
        "<td>",
        "<div style='float:left;'><b>Section Diagram </b><i>&lt;b&gt;</i></div><div "
        "style='float:right;'><i>1:1 Scale</i></div><br><br>",
        "<img alt='section diagram' src='/opt/corvane/temp/sd1.bmp'>",
        "</td></tr>",
        "<tr><td colspan='2' style='width:100%;'>",
        "<div style='float:left;'><b>Marking Diagram</b></div><div style='float:right;'><i>Not "
        "1:1 Scale</i></div><br><br>",
        "<img alt='marking diagram' src='/opt/corvane/temp/md1.bmp'>",
        "</td></tr>",
        "</table>",
        "</body>",
        "</html>"};
    const QStringList lines = pageLines(job);
    ASSERT_EQ(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST(SectionPage, DetailedInInchesWithAMissingRowAFlangeOfNoFlatLengthAndAnglesAndAddresses)
{
    Job job = test::workedExampleJob();
    job.section(1) = test::makeSection({"50", "-20", "50"}, {{"90", "16"}, {"90", "12"}});
    const QStringList lines = pageLines(job, LengthUnit::DecimalInch, true);
    EXPECT_EQ(lines[18], "<tr><td style='text-align:left;' colspan='9'>Material : <b>MS</b><br>"
                         "Thickness : <b>0.079 in</b></td></tr>");
    EXPECT_EQ(lines[19], "<tr><th>Flange Outside in</th><th>Bend Angle deg</th><th>Vee in</th>"
                         "<th>IR in</th><th style=''>K Factor</th><th style=''>OSSB in</th>"
                         "<th style=''>BA in</th><th style=''>BD in</th><th>Unfolded Length "
                         "in</th></tr>");
    EXPECT_EQ(lines[20], "<tr><td>1.969</td><td> 90 </td><td>0.630</td><td>0.079</td><td "
                         "style=''>0.33</td><td style=''>0.157</td><td style=''>0.165</td><td "
                         "style=''>0.150</td>");
    // No row for vee 12: its values show as n/a and deduct nothing, and the operator is told. A
    // flange of negative length has no flat length but still closes its row.
    EXPECT_EQ(lines.mid(22, 2),
              QStringList({"<tr><td>-0.787</td><td> 90 </td><td>0.472</td><td>n/a</td><td "
                           "style=''>n/a</td><td style=''>n/a</td><td style=''>0.000</td><td "
                           "style=''>0.000</td>",
                           "<td></td></tr>"}));
    EXPECT_EQ(lines[26], "<tr><th colspan='9'>Total : 3.862</th></tr>");
    EXPECT_EQ(lines.mid(27, 2),
              (QStringList{"</table>", "<div style='text-align:left;color:#f00;'><b>No bend table "
                                       "row for bend 2 (vee 0.472 in): its bend deduction is not "
                                       "applied.</b></div>"}));

    // Angles keep the place of their sign; addresses stay intact.
    QStringList texts;

    for (double angle : {90.0, -45.0, 0.5, -0.25, 0.0, 12.345})
        texts << angleText(angle);
    EXPECT_EQ(texts, QStringList({" 90 ", "-45 ", " .5 ", "-.25 ", " 0 ", " 12.345 "}));
    EXPECT_EQ(pageAddress("/home/op/Corvane data/temp/sd1.bmp"),
              "/home/op/Corvane data/temp/sd1.bmp");
    EXPECT_EQ(pageAddress("/x/it's #1 100%/a&b.bmp"), "/x/it%27s %231 100%25/a%26b.bmp");
}

TEST(SectionPage, VeeErrorAndFailedGateChangeOnlyTheirPartOfThePage)
{
    // A vee too wide shows an error instead of the marking diagram.
    const QStringList plain = pageLines(test::workedExampleJob());
    QStringList expected = plain;
    expected[22].replace("<td>16</td>", "<td>93</td>");
    expected.replace(
        expected.indexOf("<img alt='marking diagram' src='/opt/corvane/temp/md1.bmp'>"),
        "<div style='text-align:center;height:350px;width:100%;color:#f00;'><br><br>"
        "<br><br><b>Error in Vee(s) selection.</b></div>");
    Job tooWide = test::workedExampleJob();
    tooWide.section(1) = test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "93"}});
    EXPECT_EQ(pageLines(tooWide), expected);

    // A bend table that could not be read is named as the reason, once, in place of the rows.
    const BendCalculation unread =
        calculateSection(tooWide.section(1), "MS", "2", *BendTable::unreadable("The <table>"));
    const QString page = sectionPage(tooWide, 1, unread, PageOptions{});
    EXPECT_EQ(page.count("<b>The bend table could not be read, so no bend deduction is applied: "
                         "The &lt;table&gt;</b>"),
              1);
    EXPECT_FALSE(page.contains("No bend table row")) << page.toStdString();

    // A failed gate leaves the job header only.
    Job job = test::workedExampleJob();
    job.section(1).setOutside(0, QString());
    EXPECT_EQ(pageLines(job), plain.mid(0, 16) + QStringList({"</body>", "</html>"}));
}

} // namespace
} // namespace corvane
