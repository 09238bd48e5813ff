#pragma once

// The command lines of both programs, corvane and corvane-report, read one way: each program
// names its options and pulls what was given from a CommandLineReader, one item at a time, and
// decides what each means. Reading stops at the first wrong word, so that a program's errors come
// in the order of its arguments.
//
// A word that does not begin with "-", and "-" alone, is an operand (a job file); "--" ends the
// options, so that an operand may begin with "-" after it. An option that takes a value has it in
// the same word after "=" (--unit=in) or as the next word, which may begin with a single "-" (a
// negative number) but not with "--": that means the value was forgotten. In a program whose
// options take no value, "=" is no part of the reading: "--help=x" is an option of that name.

#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

struct CommandLineItem
{
    QString option; // "--unit", "-h"; empty for an operand
    QString value;  // the option's value, or the operand
    QString error;  // what is wrong with the command line here: "unknown option --x"
};

class CommandLineReader
{
public:
    // arguments without the program's name; flags are the options without a value, valued those
    // with one.
    CommandLineReader(QStringList arguments, QStringList flags, QStringList valued = {});

    // The next item, or nothing at the end and after an item with an error.
    std::optional<CommandLineItem> next();

private:
    QStringList m_arguments;
    QStringList m_flags;
    QStringList m_valued;
    qsizetype m_next = 0;
    bool m_optionsEnded = false;
};

} // namespace corvane
