#include "shell/ground/job.h"

#include "shell/ground/numbers.h"

namespace corvane {

QStringList rotateItems()
{
    return {QStringLiteral("0 "),  QStringLiteral("45"),  QStringLiteral("90"),
            QStringLiteral("135"), QStringLiteral("180"), QStringLiteral("225"),
            QStringLiteral("270"), QStringLiteral("315")};
}

Section::Section() : m_rotate(rotateItems()) {}

void Section::setView(const QString &text)
{
    m_view = withoutQuotes(text);
}

void Section::setNotes(const QString &text)
{
    m_notes = withCrLfLineBreaks(withoutQuotes(text));
}

void Section::setOutside(int i, const QString &text)
{
    m_outside.at(i) = withoutQuotes(text);
}

void Section::setAngle(int i, const QString &text)
{
    m_angle.at(i) = withoutQuotes(text);
}

bool Section::inUse() const
{
    return readNumber(m_outside[0]) > 0;
}

const QString &Job::common(CommonText which) const
{
    return m_common.at(int(which));
}

void Job::setCommon(CommonText which, const QString &text)
{
    setCommon(int(which), text);
}

void Job::setCommon(int index, const QString &text)
{
    m_common.at(index) = withoutQuotes(text);
}

} // namespace corvane
