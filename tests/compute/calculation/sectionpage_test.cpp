#include "compute/calculation/sectionpage.h"

#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

PageOptions options(LengthUnit unit = LengthUnit::Millimetre, bool detailed = false)
{
    return {unit, detailed, QStringLiteral("/opt/corvane"), QStringLiteral("/opt/corvane/temp")};
}

QStringList pageLines(const Job &job, const PageOptions &o, int number = 1)
{
    const BendCalculation c = calculateSection(job.section(number), job.material().text(),
                                               job.thickness().text(), test::workedExampleTable());
    const QString page = sectionPage(job, number, c, o);
    EXPECT_TRUE(page.endsWith(QStringLiteral("</html>\r\n")));
    QStringList lines = page.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

const QStringList kHead = {
    "<!DOCTYPE html>",
    "<html lang='en'>",
    "<head><meta http-equiv='X-UA-Compatible' content='IE=edge'>",
    "<title>Corvane</title>",
    "<meta http-equiv='Content-Type' content='text/html; charset=utf-8'>",
    "<style>h5{text-align:left;} table{font-family: Trebuchet MS;font-size:.9em;width:100%;"
    "border-collapse: collapse;} table, th, td{padding:4px;text-align:right;vertical-align:top;"
    "border: 1px solid #000;} tar{text-align:right;} tal{text-align:left;} @media print{.noprint"
    "{display:none;}}</style>",
    "</head>",
    "<body oncontextmenu='return false'>",
    "<div style='width:100%;'><div style='float:left;'><img style='height:40px;' alt='logo' "
    "src='/opt/corvane/logo.png'></div>",
    "<div style='text-align:right;font-family:impact;font-size:1.4em;color:#000080;'><i>Corvane"
    "</i></div>",
    "</div><br><br><br>",
    "<table>",
};

TEST(SectionPage, WorkedExampleInMillimetresLineForLine)
{
    Job job = test::workedExampleJob();
    job.setCommon(CommonText::Customer, QStringLiteral("Acme"));
    job.setCommon(CommonText::PartNo, QStringLiteral("BR-1"));
    job.setCommon(CommonText::Revision, QStringLiteral("A"));
    job.setCommon(CommonText::Description, QStringLiteral("Bracket"));
    job.section(1).setView(QStringLiteral("Front"));
    job.section(1).setNotes(QStringLiteral("a\r\nb"));
    const QString hidden = "<td style='display:none;'>";
    QStringList expected = kHead;
    expected << "<tr><td style='width:100%;text-align:left;' colspan='3'>Customer : <b>Acme</b>"
                "</td></tr>"
             << "<tr><td style='width:25%;text-align:left;'>Part No : <b>BR-1</b></td><td "
                "style='width:15%;text-align:left;'>Revision : <b>A</b></td><td "
                "style='width:60%;text-align:left;'>Description : <b>Bracket</b></td></tr>"
             << "</table>"
             << "<br>"
             << "<table><tr><td><div style='float:left;'><b>Section Specifications</b></div>"
                "<br><br>"
             << "<table>"
             << "<tr><td style='text-align:left;' colspan='5'>Material : <b>MS</b><br>Thickness "
                ": <b>2 mm</b></td></tr>"
             << "<tr><th>Flange Outside mm</th><th>Bend Angle deg</th><th>Vee mm</th><th>IR mm"
                "</th><th style='display:none;'>K Factor</th><th style='display:none;'>OSSB mm"
                "</th><th style='display:none;'>BA mm</th><th style='display:none;'>BD mm</th>"
                "<th>Unfolded Length mm</th></tr>"
             << "<tr><td>50</td><td> 90 </td><td>16</td><td>2</td>" + hidden + "0.33</td>" +
                    hidden + "4</td>" + hidden + "4.18</td>" + hidden + "3.82</td>"
             << "<td>48.09</td></tr>"
             << "<tr><td>100</td><td> 90 </td><td>16</td><td>2</td>" + hidden + "0.33</td>" +
                    hidden + "4</td>" + hidden + "4.18</td>" + hidden + "3.82</td>"
             << "<td>96.18</td></tr>"
             << "<tr><td>50</td><td></td><td></td><td></td>" + hidden + "</td>" + hidden + "</td>" +
                    hidden + "</td>" + hidden + "</td>"
             << "<td>48.09</td></tr>"
             << "<tr><th colspan='5'>Total : 192.36</th></tr>"
             << "</table>"
             << "<div style='text-align:left;'><i>Notes : <br>a<br>b</i>"
             << "</td>"
             << "<td>"
             << "<div style='float:left;'><b>Section Diagram </b><i>Front</i></div><div "
                "style='float:right;'><i>1:1 Scale</i></div><br><br>"
             << "<img alt='section diagram' src='/opt/corvane/temp/sd1.bmp'>"
             << "</td></tr>"
             << "<tr><td colspan='2' style='width:100%;'>"
             << "<div style='float:left;'><b>Marking Diagram</b></div><div style='float:right;'>"
                "<i>Not 1:1 Scale</i></div><br><br>"
             << "<img alt='marking diagram' src='/opt/corvane/temp/md1.bmp'>"
             << "</td></tr>"
             << "</table>"
             << "</body>"
             << "</html>";
    const QStringList lines = pageLines(job, options());
    ASSERT_EQ(lines.size(), expected.size());
    for (int i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST(SectionPage, InchesAndTheDetailedOption)
{
    const Job job = test::workedExampleJob();
    const QStringList decimal = pageLines(job, options(LengthUnit::DecimalInch, true));
    EXPECT_EQ(decimal[18], "<tr><td style='text-align:left;' colspan='9'>Material : <b>MS</b>"
                           "<br>Thickness : <b>0.079 in</b></td></tr>");
    EXPECT_EQ(decimal[19], "<tr><th>Flange Outside in</th><th>Bend Angle deg</th><th>Vee in</th>"
                           "<th>IR in</th><th style=''>K Factor</th><th style=''>OSSB in</th>"
                           "<th style=''>BA in</th><th style=''>BD in</th><th>Unfolded Length "
                           "in</th></tr>");
    EXPECT_EQ(decimal[20], "<tr><td>1.969</td><td> 90 </td><td>0.630</td><td>0.079</td><td "
                           "style=''>0.33</td><td style=''>0.157</td><td style=''>0.165</td><td "
                           "style=''>0.150</td>");
    EXPECT_EQ(decimal[21], "<td>1.893</td></tr>");
    EXPECT_EQ(decimal[26], "<tr><th colspan='9'>Total : 7.573</th></tr>");

    const QStringList fraction = pageLines(job, options(LengthUnit::FractionalInch, false));
    EXPECT_EQ(fraction[18], "<tr><td style='text-align:left;' colspan='5'>Material : <b>MS</b>"
                            "<br>Thickness : <b>1/16 in</b></td></tr>");
    EXPECT_TRUE(fraction[20].startsWith("<tr><td>1 15/16</td><td> 90 </td><td>5/8</td>"));
    EXPECT_TRUE(fraction[20].contains("<td style='display:none;'>0.33</td>"));
    EXPECT_EQ(fraction[22 + 1], "<td>3 13/16</td></tr>");
    EXPECT_EQ(fraction[26], "<tr><th colspan='5'>Total : 7 9/16</th></tr>");
}

TEST(SectionPage, AngleTextKeepsTheSignPlace)
{
    EXPECT_EQ(angleText(90), " 90 ");
    EXPECT_EQ(angleText(-45), "-45 ");
    EXPECT_EQ(angleText(0.5), " .5 ");
    EXPECT_EQ(angleText(-0.25), "-.25 ");
    EXPECT_EQ(angleText(0), " 0 ");
    EXPECT_EQ(angleText(12.345), " 12.345 ");
}

TEST(SectionPage, GateFailedGivesTheHeaderOnly)
{
    Job job = test::workedExampleJob();
    job.section(1).setOutside(0, QString());
    const QStringList lines = pageLines(job, options());
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines[12], "<tr><td style='width:100%;text-align:left;' colspan='3'>Customer : <b>"
                         "</b></td></tr>");
    EXPECT_EQ(lines[15], "<br>");
    EXPECT_EQ(lines[16], "</body>");
    EXPECT_EQ(lines[17], "</html>");
}

TEST(SectionPage, OperatorTextsShowAsPlainText)
{
    Job job = test::workedExampleJob();
    job.setCommon(CommonText::Customer, QStringLiteral("<script>alert(1)</script>"));
    job.setCommon(CommonText::Description, QStringLiteral("A & B <img src=x onerror=alert(1)>"));
    job.section(1).setView(QStringLiteral("<b>"));
    job.section(1).setNotes(QStringLiteral("x < y\r\nlone\rcr & <i>\n"));
    const QString page = sectionPage(
        job, 1, calculateSection(job.section(1), "MS", "2", test::workedExampleTable()), options());
    EXPECT_FALSE(page.contains(QStringLiteral("<script>")));
    EXPECT_TRUE(page.contains(QStringLiteral("Customer : <b>&lt;script&gt;alert(1)&lt;/script&gt;"
                                             "</b>")));
    EXPECT_TRUE(page.contains(QStringLiteral("A &amp; B &lt;img src=x onerror=alert(1)&gt;")));
    EXPECT_TRUE(page.contains(QStringLiteral("<i>&lt;b&gt;</i>")));
    EXPECT_TRUE(page.contains(
        QStringLiteral("Notes : <br>x &lt; y<br>lone<br>cr &amp; &lt;i&gt;<br></i>\r\n")));
}

TEST(SectionPage, MissingBendTableRowIsShownToTheOperator)
{
    Job job = test::workedExampleJob();
    job.section(1).vee(1).setItems({QStringLiteral("12")});
    job.section(1).vee(1).choose(0);
    const QStringList lines = pageLines(job, options(LengthUnit::Millimetre, true));
    EXPECT_EQ(lines[22], "<tr><td>100</td><td> 90 </td><td>12</td><td>n/a</td><td style=''>n/a"
                         "</td><td style=''>n/a</td><td style=''>0</td><td style=''>0</td>");
    EXPECT_EQ(lines[27], "</table>");
    EXPECT_EQ(lines[28], "<div style='text-align:left;color:#f00;'><b>No bend table row for bend "
                         "2 (vee 12 mm): its bend deduction is not applied.</b></div>");
    EXPECT_TRUE(lines[29].startsWith("<div style='text-align:left;'><i>Notes : <br>"));
}

TEST(SectionPage, VeeErrorReplacesTheMarkingDiagram)
{
    Job job = test::workedExampleJob();
    job.section(1).vee(0).setItems({QStringLiteral("93")});
    job.section(1).vee(0).choose(0);
    const QStringList lines = pageLines(job, options());
    EXPECT_TRUE(lines.contains("<img alt='section diagram' src='/opt/corvane/temp/sd1.bmp'>"));
    EXPECT_FALSE(lines.join('\n').contains("md1.bmp"));
    const int notice = int(lines.indexOf(
        "<div style='text-align:center;height:350px;width:100%;color:#f00;'><br><br><br><br><b>"
        "Error in Vee(s) selection.</b></div>"));
    ASSERT_GT(notice, 0);
    EXPECT_EQ(lines[notice - 1], "<div style='float:left;'><b>Marking Diagram</b></div><div "
                                 "style='float:right;'><i>Not 1:1 Scale</i></div><br><br>");
    EXPECT_EQ(lines[notice + 1], "</td></tr>");
}

TEST(SectionPage, FlangeWithoutFlatLengthClosesItsRow)
{
    Job job = test::workedExampleJob();
    job.section(1).setOutside(1, QStringLiteral("-20"));
    const QStringList lines = pageLines(job, options());
    EXPECT_TRUE(lines[22].startsWith("<tr><td>-20</td>"));
    EXPECT_EQ(lines[23], "<td></td></tr>");
}

TEST(SectionPage, AddressesStayIntactInAttributes)
{
    EXPECT_EQ(pageAddress("/home/op/Corvane data/temp/sd1.bmp"),
              "/home/op/Corvane data/temp/sd1.bmp");
    EXPECT_EQ(pageAddress("/x/it's #1 100%/a&b.bmp"), "/x/it%27s %231 100%25/a%26b.bmp");
}

} // namespace
} // namespace corvane
