#include "ground/commandline.h"

#include <gtest/gtest.h>

#include <tuple>

namespace corvane {
namespace {

// What the reader gives, an item a word: "job.bm" an operand, "--unit=in" an option and its
// value, "! why" the error that ends the reading.
QString read(const QStringList &arguments, const QStringList &valued)
{
    CommandLineReader line(arguments, {"--help", "-h", "--detailed"}, valued);
    QStringList items;
    while (const std::optional<CommandLineItem> item = line.next()) {
        if (!item->error.isEmpty())
            items << "! " + item->error;
        else
            items << item->option + (item->option.isEmpty() || item->value.isEmpty() ? "" : "=") +
                         item->value;
    }
    return items.join(QStringLiteral(" | "));
}

// corvane's command line has options without values, corvane-report's both kinds.
TEST(CommandLineReader, ReadsOperandsAndOptionsAndStopsAtTheFirstWrongWord)
{
    const QStringList valued = {"--table", "--out", "--unit", "--angle"};
    const std::tuple<QStringList, bool, const char *> rows[] = {
        {{"/jobs/a.bm", "-", "-h"}, false, "/jobs/a.bm | - | -h"},
        {{"--", "-a.bm", "--help"}, false, "-a.bm | --help"},
        {{"--open", "--help"}, false, "! unknown option --open"},
        {{"--help=x"}, false, "! unknown option --help=x"},
        {{"--table", "-t", "--out=p", "--detailed"}, true, "--table=-t | --out=p | --detailed"},
        {{"a.bm", "--unit=in", "b", "--angle", "-90"}, true, "a.bm | --unit=in | b | --angle=-90"},
        {{"--detailed=yes"}, true, "! unknown option --detailed"},
        {{"job.bm", "--out"}, true, "job.bm | ! --out needs a value"},
        {{"--out", "--detailed"}, true, "! --out needs a value"},
        {{"--table=", "job.bm"}, true, "! --table needs a value"},
    };
    for (const auto &[arguments, withValues, items] : rows) {
        EXPECT_EQ(read(arguments, withValues ? valued : QStringList()), QString::fromUtf8(items))
            << arguments.join(' ').toStdString();
    }
}

} // namespace
} // namespace corvane
