#include "ground/job.h"

#include <gtest/gtest.h>

#include <tuple>

namespace corvane {
namespace {

TEST(Job, SectionIsInUseWhenItsFirstFlangeReadsAboveZero)
{
    Section section;
    // How a text reads is numbers_test.cpp's.
    const std::pair<const char *, bool> cases[] = {
        {"0", false}, {"abc", false}, {"-5", false}, {"0.001", true}, {"12abc", true}};
    for (const auto &[text, inUse] : cases) {
        section.setOutside(0, QString::fromUtf8(text));
        EXPECT_EQ(section.inUse(), inUse) << text;
    }
    section.setOutside(0, {});
    section.setOutside(1, QStringLiteral("100"));
    EXPECT_FALSE(section.inUse());
}

TEST(Job, FreeTextsNeverHoldQuotesAndNotesBreakLinesWithCrLfHoweverTheyArrive)
{
    // Every setter of a free text drops the quotes (numbers_test.cpp has which characters go).
    const QString quoted = QStringLiteral("O'Brien \"Steel\"");
    Job job;
    job.setCommon(CommonText::Customer, quoted);
    job.setCommon(3, quoted);
    Section &section = job.section(2);
    section.setView(quoted);
    section.setNotes(quoted);
    section.setOutside(0, quoted);
    section.setAngle(3, quoted);
    EXPECT_EQ((QStringList{job.common(CommonText::Customer), job.common(CommonText::Description),
                           section.view(), section.notes(), section.outside(0), section.angle(3)}),
              QStringList(6, QStringLiteral("OBrien Steel")));

    // However a note arrives (typed, pasted, or from a file edited on Linux or an old Mac), each
    // of its line breaks is one CR LF: the page breaks its lines there, and the file writes them.
    const std::pair<const char *, const char *> cases[] = {
        {"a\r\nb", "a\r\nb"},     {"a\nb", "a\r\nb"},       {"a\rb", "a\r\nb"},
        {"a\r\rb", "a\r\n\r\nb"}, {"a\n\rb", "a\r\n\r\nb"}, {"\r\n\n\r", "\r\n\r\n\r\n"},
    };
    for (const auto &[typed, held] : cases) {
        section.setNotes(QString::fromLatin1(typed));
        EXPECT_EQ(section.notes(), QString::fromLatin1(held))
            << QByteArray(typed).toPercentEncoding().constData();
    }
}

TEST(PickList, ChoosingByTextNeedsAnExactMatchAndKeepsTheChoiceOtherwise)
{
    PickList list(QStringList{"0 ", "90", "MS", "ms", "MS"});
    // The text tried, whether it was found, the item chosen after.
    const std::tuple<const char *, bool, int> steps[] = {
        {"0", false, -1}, {"0 ", true, 0}, {"91", false, 0}, {"ms", true, 3}, {"MS", true, 2}};
    for (const auto &[text, found, chosen] : steps) {
        EXPECT_EQ(list.chooseText(QString::fromUtf8(text)), found) << text;
        EXPECT_EQ(list.chosen(), chosen) << text;
    }
    // An index outside the list chooses nothing; new items leave nothing chosen.
    EXPECT_FALSE(list.choose(5));
    EXPECT_EQ(list.chosen(), -1);
    list.choose(4);
    list.setItems({QStringLiteral("AL")});
    EXPECT_EQ(list.chosen(), -1);
}

} // namespace
} // namespace corvane
