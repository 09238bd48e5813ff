#include "diagrams/markingdiagram.h"

#include "diagrams/sectiondiagram.h"
#include "diagrams/testcanvases.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using namespace test;

// The marking diagram of the section, drawn after its section diagram.
void draw(Canvas &canvas, const Section &section, LengthUnit unit = LengthUnit::Millimetre)
{
    canvas.setFont(kSectionDiagramFont);
    drawMarkingDiagram(canvas, section, calculateSection(section, "MS", "2", workedExampleTable()),
                       unit);
}

RecordingCanvas drawn(const Section &section, LengthUnit unit = LengthUnit::Millimetre)
{
    RecordingCanvas canvas;
    draw(canvas, section, unit);
    return canvas;
}

// The worked example with its second bend down, which changes no length.
const Section kUpAndDown = makeSection({"50", "100", "50"}, {{"90", "16"}, {"-90", "16"}});

TEST(MarkingDiagram, DrawsTheBlankItsBendLinesAndItsDimensionChains)
{
    // Five flanges, a flat bend among the others, so that the labels of odd and even stations
    // alternate.
    const std::pair<const char *, Section> pictures[] = {
        {"marking-up-and-down", kUpAndDown},
        {"marking-five-flanges",
         makeSection({"40", "60", "80", "60", "40"},
                     {{"45", "16"}, {"0", "16"}, {"-120", "10"}, {"90.5", "20"}})},
    };
    for (const auto &[name, section] : pictures) {
        BoxTextCanvas canvas;
        draw(canvas, section);
        EXPECT_TRUE(isReferencePicture(canvas, name));
    }
}

TEST(MarkingDiagram, LabelsGiveTheAngleAsTypedTheVeeAndTheLengthsInTheUnit)
{
    EXPECT_EQ(drawn(kUpAndDown).printed,
              (QStringList{"192.36", "Up 90", "A 90", "V 16", "48.09", "48.09", "144.27", "Dn 90",
                           "A -90", "V 16", "144.27", "96.18", "48.09", "192.36", "48.09"}));
    EXPECT_EQ(drawn(kUpAndDown, LengthUnit::FractionalInch).printed,
              (QStringList{"7 9/16", "Up 90", "A 90", "V 5/8", "1 7/8", "1 7/8", "5 11/16", "Dn 90",
                           "A -90", "V 5/8", "5 11/16", "3 13/16", "1 7/8", "7 9/16", "1 7/8"}));
}

TEST(MarkingDiagram, AnUpBendLineIsSolidADnBendLineDotted)
{
    // The blank, then the two bend lines.
    const RecordingCanvas canvas = drawn(kUpAndDown);
    ASSERT_EQ(canvas.boxes.size(), 3u);
    EXPECT_FALSE(canvas.boxes[1].dotted);
    EXPECT_TRUE(canvas.boxes[2].dotted);
    EXPECT_FALSE(canvas.dotted());
}

TEST(MarkingDiagram, FlangesWithoutBendsGetNoBendMarksAndABlankOfNoLengthNothing)
{
    // A single flange has no chain of flat lengths either.
    const RecordingCanvas single = drawn(makeSection({"80"}, {}));
    EXPECT_EQ(single.printed, (QStringList{"80", "80"}));
    EXPECT_EQ(single.boxes.size(), 1u);
    const RecordingCanvas flat = drawn(makeSection({"50", "100"}, {{"0", "16"}}));
    EXPECT_EQ(flat.printed, (QStringList{"150", "50", "50", "100", "150", "100"}));
    EXPECT_EQ(flat.boxes.size(), 1u);

    BendCalculation none;
    none.unfoldedTotal = -5;
    RecordingCanvas empty;
    drawMarkingDiagram(empty, Section(), none, LengthUnit::Millimetre);
    EXPECT_EQ(empty.clears, 1);
    EXPECT_TRUE(empty.lines.empty() && empty.boxes.empty() && empty.texts.empty());
}

TEST(MarkingDiagram, AnArrowheadEndsWhereItStarted)
{
    RecordingCanvas canvas;
    canvas.setCurrentX(10);
    canvas.setCurrentY(20);
    drawArrowHead(canvas, +1, 100);
    ASSERT_EQ(canvas.lines.size(), 3u);
    EXPECT_EQ(canvas.lines[2].x2, 10.0f);
    EXPECT_EQ(canvas.lines[2].y2, 20.0f);
}

} // namespace
} // namespace corvane
