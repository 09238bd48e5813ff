#include "ground/commandline.h"

namespace corvane {

CommandLineReader::CommandLineReader(QStringList arguments, QStringList flags, QStringList valued)
    : m_arguments(std::move(arguments)), m_flags(std::move(flags)), m_valued(std::move(valued))
{}

std::optional<CommandLineItem> CommandLineReader::next()
{
    while (m_next < m_arguments.size()) {
        const QString argument = m_arguments.at(m_next++);
        if (m_optionsEnded || !argument.startsWith(QLatin1Char('-')) ||
            argument == QLatin1String("-"))
            return CommandLineItem{{}, argument, {}};
        if (argument == QLatin1String("--")) {
            m_optionsEnded = true;
            continue;
        }
        CommandLineItem item{argument, {}, {}};
        const qsizetype equals = m_valued.isEmpty() ? -1 : argument.indexOf(QLatin1Char('='));
        if (equals > 0) {
            item.option = argument.left(equals);
            item.value = argument.mid(equals + 1);
        }
        const bool valued = m_valued.contains(item.option);
        if (!valued && (equals > 0 || !m_flags.contains(item.option))) {
            item.error = QStringLiteral("unknown option %1").arg(item.option);
        } else if (valued) {
            if (equals <= 0 && m_next < m_arguments.size() &&
                !m_arguments.at(m_next).startsWith(QLatin1String("--")))
                item.value = m_arguments.at(m_next++);
            if (item.value.isEmpty())
                item.error = QStringLiteral("%1 needs a value").arg(item.option);
        }
        if (!item.error.isEmpty())
            m_next = m_arguments.size();
        return item;
    }
    return std::nullopt;
}

} // namespace corvane
