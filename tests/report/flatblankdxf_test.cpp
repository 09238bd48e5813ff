#include "report/flatblankdxf.h"

#include "testsupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace corvane {
namespace {

// Each shape of section as a DXF file, read back by ezdxf (tests/report/checkdxf.py): the audit
// finds no error, the outline is U by W, and every bend line lies on its layer at the distance
// from the left end that the flat lengths sum to, spans the width, is marked at both edges and
// carries its labels.
TEST(FlatBlankDxf, EveryShapeReadsBackWithItsBendLinesWhereTheFlatLengthsPutThem)
{
    // Eleven flanges and bends of every kind: up, down, flat, by a fraction of a degree.
    Section eleven = test::makeSection(
        {"30", "40", "50", "60", "70", "80", "90", "100", "110", "120", "130"}, {});
    const char *angles[] = {"90", "0", "30", "-30", "120", "-120", "-45.5", "-45", "90", "-90"};
    const char *vees[] = {"16", "16", "10", "10", "20", "20", "20.5", "16", "92", "16"};
    for (int j = 0; j < kBendCount; ++j) {
        eleven.setAngle(j, QString::fromLatin1(angles[j]));
        eleven.vee(j).setItems({QString::fromLatin1(vees[j])});
        eleven.vee(j).choose(0);
    }
    const std::pair<const char *, Section> shapes[] = {
        {"one flange", test::makeSection({"75.5"}, {})}, {"eleven flanges", eleven}};
    QTemporaryDir dir;
    for (const auto &[name, section] : shapes) {
        SCOPED_TRACE(name);
        const BendCalculation c = calculateSection(section, "MS", "2", test::workedExampleTable());
        ASSERT_TRUE(c.gatePassed);
        const float width = 120.25f;
        const QString path = dir.filePath(QString::fromLatin1(name) + ".dxf");
        ASSERT_TRUE(test::writeBytes(path, flatBlankDxf(c, width)));
        QStringList arguments = {QStringLiteral(CORVANE_SOURCE_DIR "/tests/report/checkdxf.py"),
                                 path, QString::number(c.unfoldedTotal, 'f', 6),
                                 QString::number(width, 'f', 6)};
        double distance = 0;
        for (int i = 0; i < c.lastFlange; ++i) {
            distance += c.flatLength[i];
            const double angle = section.angle(i).toDouble();
            if (angle != 0)
                arguments << QStringLiteral("%1:%2:%3 %4:V %5")
                                 .arg(QString::number(distance, 'f', 6), angle > 0 ? "up" : "down",
                                      angle > 0 ? "Up" : "Dn",
                                      QString(section.angle(i)).remove('-'), section.vee(i).text());
        }
        const test::ProgramRun check = test::runProgram("/usr/bin/python3", arguments);
        EXPECT_EQ(check.out, "ok\n") << check.err.toStdString();
    }
}

} // namespace
} // namespace corvane
