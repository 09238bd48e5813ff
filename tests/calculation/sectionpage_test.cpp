#include "calculation/sectionpage.h"

#include "testsupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// Whether the page is, byte for byte, the reference page of that name in tests/calculation/data,
// which a browser shows as the operator sees it; one that differs is saved in the temp folder.
testing::AssertionResult isReferencePage(const QString &page, const QString &name)
{
    const QString path =
        QStringLiteral(CORVANE_SOURCE_DIR "/tests/calculation/data/%1.htm").arg(name);
    if (page.toUtf8() == test::readBytes(path))
        return testing::AssertionSuccess();
    const QString saved = QDir::temp().filePath(name + QStringLiteral("-written.htm"));
    test::writeBytes(saved, page.toUtf8());
    return testing::AssertionFailure() << "the page written, saved as " << saved.toStdString()
                                       << ", is not " << path.toStdString();
}

QString page(const Job &job, LengthUnit unit = LengthUnit::Millimetre, bool detailed = false,
             const BendTable &table = test::workedExampleTable())
{
    const PageOptions o{unit, detailed, "/opt/corvane", QStringLiteral("/opt/corvane/temp")};
    return sectionPage(
        job, 1,
        calculateSection(job.section(1), job.material().text(), job.thickness().text(), table), o);
}

TEST(SectionPage, EachKindOfSectionGivesItsReferencePage)
{
    // The worked example, the operators' texts escaped and the notes' line breaks kept however
    // they were typed.
    Job typed = test::workedExampleJob();
    typed.setCommon(CommonText::Customer, "<script>alert(1)</script>");
    typed.setCommon(CommonText::PartNo, "BR<1>");
    typed.setCommon(CommonText::Revision, "A&B");
    typed.setCommon(CommonText::Description, "Bracket <img src=x>");
    typed.section(1).setView("<b>");
    typed.section(1).setNotes("x < y\r\nlone\rcr & <i>\n");
    // Detailed, in inches: a bend without a table row shows n/a, deducts nothing and is named; a
    // flange of negative length has no flat length but still closes its row.
    Job missing = test::workedExampleJob();
    missing.section(1) = test::makeSection({"50", "-20", "50"}, {{"90", "16"}, {"90", "12"}});
    // A vee too wide shows an error in place of the marking diagram; a bend table that could not
    // be read is named once, in place of the rows it would have; a failed gate leaves the job
    // header only.
    Job tooWide = test::workedExampleJob();
    tooWide.section(1) = test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "93"}});
    Job gateFailed = test::workedExampleJob();
    gateFailed.section(1).setOutside(0, QString());

    const std::pair<const char *, QString> pages[] = {
        {"worked-example", page(typed)},
        {"missing-row-inches", page(missing, LengthUnit::DecimalInch, true)},
        {"vee-too-wide", page(tooWide)},
        {"table-unreadable",
         page(tooWide, LengthUnit::Millimetre, false, *BendTable::unreadable("The <table>"))},
        {"gate-failed", page(gateFailed)},
    };
    for (const auto &[name, text] : pages)
        EXPECT_TRUE(isReferencePage(text, name));
}

TEST(SectionPage, AnglesKeepThePlaceOfTheirSignAndAddressesStayIntact)
{
    QStringList texts;
    for (double angle : {90.0, -45.0, 0.5, -0.25, 0.0, 12.345})
        texts << angleText(angle);
    EXPECT_EQ(texts, QStringList({" 90 ", "-45 ", " .5 ", "-.25 ", " 0 ", " 12.345 "}));
    EXPECT_EQ(pageAddress("/home/op/Corvane data/temp/sd1.bmp"),
              "/home/op/Corvane data/temp/sd1.bmp");
    EXPECT_EQ(pageAddress("/x/it's #1 100%/a&b.bmp"), "/x/it%27s %231 100%25/a%26b.bmp");
}

} // namespace
} // namespace corvane
