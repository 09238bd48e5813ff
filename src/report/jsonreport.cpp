#include "report/jsonreport.h"

#include "ground/numbers.h"
#include "ground/units.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace corvane {

namespace {

// A length as the page writes it in millimetres: "12.5", "1E-05".
QJsonValue shown(float millimetres)
{
    return formatLength(millimetres, LengthUnit::Millimetre).toDouble();
}

QJsonValue rounded(float millimetres)
{
    return shown(roundHalfEven2(millimetres));
}

QJsonObject sectionJson(const Job &job, const JsonSection &s)
{
    const BendCalculation &c = s.calculation;
    QJsonObject section{{"section", s.number},
                        {"status", c.status()},
                        {"view", job.section(s.number).view()},
                        {"width", s.width ? shown(*s.width) : QJsonValue()}};
    QJsonArray flanges;
    QJsonArray bends;
    for (int i = 0; c.gatePassed && i <= c.lastFlange; ++i) {
        flanges.append(QJsonObject{
            {"outside", shown(c.outside[i])},
            {"flat_length", c.flatLength[i] != 0.0f ? rounded(c.flatLength[i]) : QJsonValue()}});
        if (i == c.lastFlange)
            break;
        const BendValues &b = c.bends[i];
        const bool full = c.fullRow(i);
        const bool found = full && b.found();
        const auto when = [](bool show, const QJsonValue &value) {
            return show ? value : QJsonValue();
        };
        bends.append(QJsonObject{{"angle", when(full, b.enteredAngle)},
                                 {"vee", when(full, shown(b.vee))},
                                 {"k_factor", when(found, singleText(b.kFactor).toDouble())},
                                 {"inside_radius", when(found, shown(b.internalRadius))},
                                 {"bend_allowance", when(full, rounded(b.ba))},
                                 {"outside_setback", when(found, rounded(b.ossb))},
                                 {"bend_deduction", when(full, rounded(b.bd))},
                                 {"bend_line", rounded(c.distanceFromLeft(i + 1))}});
    }
    section.insert("unfolded_length", c.gatePassed ? rounded(c.unfoldedTotal) : QJsonValue());
    section.insert("flanges", flanges);
    section.insert("bends", bends);
    return section;
}

} // namespace

QJsonObject jobJson(const QString &file, const Job &job, const QList<JsonSection> &sections)
{
    QJsonArray array;
    for (const JsonSection &section : sections)
        array.append(sectionJson(job, section));
    const QString &thickness = job.thickness().text();
    return {{"file", file},
            {"customer", job.common(CommonText::Customer)},
            {"part", job.common(CommonText::PartNo)},
            {"revision", job.common(CommonText::Revision)},
            {"description", job.common(CommonText::Description)},
            {"material", job.material().text()},
            {"thickness", thickness.isEmpty() ? QJsonValue() : shown(readSingle(thickness))},
            {"sections", array}};
}

QJsonObject failedJobJson(const QString &file, const QString &error)
{
    return {{"file", file}, {"error", error}};
}

QByteArray reportJson(const QList<QJsonObject> &jobs)
{
    QJsonArray array;
    for (const QJsonObject &job : jobs)
        array.append(job);
    return QJsonDocument(QJsonObject{{"jobs", array}}).toJson(QJsonDocument::Indented);
}

} // namespace corvane
