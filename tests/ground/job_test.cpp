#include "ground/job.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(Job, SectionIsInUseWhenItsFirstFlangeReadsAboveZero)
{
    Section section;
    const std::pair<const char *, bool> cases[] = {
        {"", false},     {"0", false}, {"abc", false}, {"-5", false},
        {"0.001", true}, {"50", true}, {" 5 0", true}, {"12abc", true},
    };
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
    Job job;
    job.setCommon(CommonText::Customer, QStringLiteral("O'Brien \"Steel\""));
    job.setCommon(3, QStringLiteral("4\" pipe"));
    Section &section = job.section(2);
    section.setView(QStringLiteral("'Front'"));
    section.setNotes(QStringLiteral("say \"hi\"\r\nit's"));
    section.setOutside(0, QStringLiteral("5'0"));
    section.setAngle(3, QStringLiteral("9\"0"));
    EXPECT_EQ(job.common(CommonText::Customer), "OBrien Steel");
    EXPECT_EQ(job.common(CommonText::Description), "4 pipe");
    EXPECT_EQ(section.view(), "Front");
    EXPECT_EQ(section.notes(), "say hi\r\nits");
    EXPECT_EQ(section.outside(0), "50");
    EXPECT_EQ(section.angle(3), "90");

    // However a note arrives (typed, pasted, or from a file edited on Linux or an old Mac), each
    // of its line breaks is one CR LF: the page breaks its lines there, and the file writes them.
    const std::pair<const char *, const char *> cases[] = {
        {"a\r\nb", "a\r\nb"},           {"a\nb", "a\r\nb"},       {"a\rb", "a\r\nb"},
        {"a\n\nb\n", "a\r\n\r\nb\r\n"}, {"a\r\rb", "a\r\n\r\nb"}, {"a\n\rb", "a\r\n\r\nb"},
        {"\r\n\n\r", "\r\n\r\n\r\n"},   {"no break", "no break"}, {"a\r\n", "a\r\n"},
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
    EXPECT_FALSE(list.chooseText(QStringLiteral("0")));
    EXPECT_EQ(list.text(), "");
    EXPECT_TRUE(list.chooseText(QStringLiteral("0 ")));
    EXPECT_EQ(list.text(), "0 ");
    EXPECT_FALSE(list.chooseText(QStringLiteral("91")));
    EXPECT_EQ(list.chosen(), 0);
    EXPECT_TRUE(list.chooseText(QStringLiteral("ms")));
    EXPECT_EQ(list.chosen(), 3);
    EXPECT_TRUE(list.chooseText(QStringLiteral("MS")));
    EXPECT_EQ(list.chosen(), 2);
    // An index outside the list chooses nothing; new items leave nothing chosen.
    EXPECT_FALSE(list.choose(5));
    EXPECT_EQ(list.chosen(), -1);
    list.choose(4);
    list.setItems({QStringLiteral("AL")});
    EXPECT_EQ(list.chosen(), -1);
}

} // namespace
} // namespace corvane
