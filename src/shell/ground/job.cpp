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

bool Section::operator==(const Section &other) const
{
    return m_view == other.m_view && m_rotate == other.m_rotate && m_scale == other.m_scale &&
           m_notes == other.m_notes && m_outside == other.m_outside && m_angle == other.m_angle &&
           m_vee == other.m_vee && m_veeRed == other.m_veeRed;
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

bool Job::operator==(const Job &other) const
{
    return m_common == other.m_common && m_material == other.m_material &&
           m_thickness == other.m_thickness && m_veeAll == other.m_veeAll &&
           m_sections == other.m_sections && m_changed == other.m_changed;
}

} // namespace corvane
