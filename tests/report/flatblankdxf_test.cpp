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
    using test::makeSection;
    const std::pair<const char *, Section> shapes[] = {
        {"one flange", makeSection({"75.5"}, {})},
        {"a flat bend", makeSection({"50", "100", "40"}, {{"0", "16"}, {"90", "10"}})},
        {"up and down", makeSection({"50", "100", "50"}, {{"90", "16"}, {"-45.5", "20.5"}})},
        {"eleven flanges",
         makeSection({"30", "40", "50", "60", "70", "80", "90", "100", "110", "120", "130"},
                     {{"90", "16"},
                      {"-90", "16"},
                      {"30", "10"},
                      {"-30", "10"},
                      {"120", "20"},
                      {"-120", "20"},
                      {"45", "16"},
                      {"-45", "16"},
                      {"90", "92"},
                      {"-90", "16"}})},
    };
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
