#include "report/flatblanks.h"

#include "ground/filewrite.h"
#include "ground/numbers.h"
#include "report/flatblankdxf.h"

#include <QDir>

namespace corvane {

std::optional<float> blankWidth(const Section &section, std::optional<float> given, QString *why)
{
    QString reason;
    std::optional<float> width = given;
    if (section.width().trimmed().isEmpty()) {
        if (!given)
            reason = QStringLiteral("it has no width");
    } else {
        const NumberReading reading = readNumberText(section.width());
        width.reset();
        if (reading.whole && reading.range == NumberReading::Range::Fits && reading.value > 0)
            width = float(reading.value);
        else
            reason =
                QStringLiteral("its width \"%1\" is no length in mm").arg(oneLine(section.width()));
    }
    if (why)
        *why = reason;
    return width;
}

FlatBlanks writeFlatBlanks(const QString &folder, const QString &name, const Job &job,
                           const QList<int> &sections, const QList<BendCalculation> &calculations,
                           std::optional<float> width)
{
    FlatBlanks blanks;
    for (qsizetype i = 0; i < sections.size(); ++i) {
        const int n = sections[i];
        const BendCalculation &c = calculations[i];
        if (const QString status = c.status(); status != QLatin1String("ok")) {
            blanks.skipped.append({n, status, false});
            continue;
        }
        QString why;
        const std::optional<float> blank = blankWidth(job.section(n), width, &why);
        if (!blank) {
            blanks.skipped.append({n, why, true});
            continue;
        }
        const QString path = QDir(folder).filePath(QStringLiteral("%1-%2.dxf").arg(name).arg(n));
        if (const QString error = replaceFile(path, flatBlankDxf(c, *blank)); !error.isEmpty()) {
            blanks.error = error;
            break;
        }
        blanks.written.append(path);
    }
    return blanks;
}

} // namespace corvane
