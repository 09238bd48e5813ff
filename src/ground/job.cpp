#include "ground/job.h"

#include "ground/numbers.h"

namespace corvane {

QStringList rotateItems()
{
    return {QStringLiteral("0 "),  QStringLiteral("45"),  QStringLiteral("90"),
            QStringLiteral("135"), QStringLiteral("180"), QStringLiteral("225"),
            QStringLiteral("270"), QStringLiteral("315")};
}

Section::Section() : m_rotate(rotateItems()) {}

void Section::setWidth(const QString &text)
{
    m_width = withoutQuotes(text);
}

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

bool Section::sameContent(const Section &other) const
{
    return m_view == other.m_view && m_rotate == other.m_rotate && m_scale == other.m_scale &&
           m_notes == other.m_notes && m_width == other.m_width && m_outside == other.m_outside &&
           m_angle == other.m_angle && m_vee == other.m_vee;
}

bool Job::sameContent(const Job &other) const
{
    if (m_common != other.m_common || m_material != other.m_material ||
        m_thickness != other.m_thickness || m_veeAll != other.m_veeAll)
        return false;
    for (int n = 0; n < kSectionCount; ++n) {
        if (!m_sections[n].sameContent(other.m_sections[n]))
            return false;
    }
    return true;
}

namespace {

QString fieldNote(const char *field, int i, const QString &text)
{
    const QString note = readingNote(text);
    if (note.isEmpty())
        return {};
    return QStringLiteral("%1 %2: \"%3\" is %4")
        .arg(QLatin1String(field))
        .arg(i + 1)
        .arg(oneLine(text), note);
}

} // namespace

QString Section::outsideNote(int i) const
{
    return fieldNote("flange", i, m_outside.at(i));
}

QString Section::angleNote(int i) const
{
    return fieldNote("angle", i, m_angle.at(i));
}

QString Section::widthNote() const
{
    const QString note = readingNote(m_width);
    return note.isEmpty() ? QString()
                          : QStringLiteral("width: \"%1\" is %2").arg(oneLine(m_width), note);
}

QStringList Section::readingNotes() const
{
    QStringList notes;
    for (int i = 0; i < kFlangeCount; ++i) {
        for (const QString &note : {outsideNote(i), i < kBendCount ? angleNote(i) : QString()}) {
            if (!note.isEmpty())
                notes << note;
        }
    }
    if (const QString note = widthNote(); !note.isEmpty())
        notes << note;
    return notes;
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
