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

QStringList labels(const Section &section, LengthUnit unit = LengthUnit::Millimetre)
{
    BoxTextCanvas canvas;
    draw(canvas, section, unit);
    return canvas.printed;
}

// The pictures show the blank, the bend lines (an Up bend's solid, a Dn bend's dotted), the
// arrowheads and where each label goes; the texts of the labels are checked beside them.
TEST(MarkingDiagram, DrawsTheBlankItsBendLinesItsDimensionChainsAndTheirLabels)
{
    // Five flanges, a flat bend among the others, so that the labels of odd and even stations
    // alternate.
    BoxTextCanvas five;
    draw(five, makeSection({"40", "60", "80", "60", "40"},
                           {{"45", "16"}, {"0", "16"}, {"-120", "10"}, {"90.5", "20"}}));
    EXPECT_TRUE(isReferencePicture(five, "marking-five-flanges"));
    // The worked example with its second bend down, which changes no length: the angle as typed,
    // the vee and the lengths in the unit.
    const Section upAndDown = makeSection({"50", "100", "50"}, {{"90", "16"}, {"-90", "16"}});
    BoxTextCanvas canvas;
    draw(canvas, upAndDown);
    EXPECT_TRUE(isReferencePicture(canvas, "marking-up-and-down"));
    EXPECT_EQ(canvas.printed,
              (QStringList{"192.36", "Up 90", "A 90", "V 16", "48.09", "48.09", "144.27", "Dn 90",
                           "A -90", "V 16", "144.27", "96.18", "48.09", "192.36", "48.09"}));
    EXPECT_EQ(labels(upAndDown, LengthUnit::FractionalInch),
              (QStringList{"7 9/16", "Up 90", "A 90", "V 5/8", "1 7/8", "1 7/8", "5 11/16", "Dn 90",
                           "A -90", "V 5/8", "5 11/16", "3 13/16", "1 7/8", "7 9/16", "1 7/8"}));
    // A single flange has no chain of flat lengths.
    EXPECT_EQ(labels(makeSection({"80"}, {})), (QStringList{"80", "80"}));

    // A blank of no length clears the picture and draws nothing.
    BendCalculation none;
    none.unfoldedTotal = -5;
    drawMarkingDiagram(canvas, Section(), none, LengthUnit::Millimetre);
    QImage white(canvas.image().size(), QImage::Format_RGB32);
    white.fill(Qt::white);
    EXPECT_EQ(canvas.image(), white);
}

} // namespace
} // namespace corvane
