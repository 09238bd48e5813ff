#include "diagrams/sectiondiagram.h"

#include "diagrams/markingdiagram.h"
#include "diagrams/testcanvases.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace corvane {
namespace {

using namespace test;

const Section kWorkedExample = makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}});

// The section drawn on the canvas after a drawing that left the given font.
void draw(Canvas &canvas, const Section &section, LengthUnit unit, CanvasFont before = {})
{
    canvas.setFont(before);
    const BendCalculation c = calculateSection(section, "MS", "2", workedExampleTable());
    drawSectionDiagram(canvas, c, section.scale(), unit);
}

// The margin for the labels is measured in the font that the drawing before left, which each
// picture's first font tells apart.
TEST(SectionDiagram, DrawsTheProfileToScaleOrCompressedWithItsLengths)
{
    // The worked example on a new canvas; after a marking diagram, a channel standing on its
    // flanges in inches, whose first label "1 15/16" is wider than the margin and is moved inside
    // the picture rather than cut to read "15/16", and five flanges compressed, one negative.
    Section channel = makeSection({"50", "100", "50"}, {{"-90", "16"}, {"-90", "16"}});
    channel.rotate().chooseText(QStringLiteral("90"));
    Section compressed = makeSection({"200", "50", "-5", "0.5", "20"},
                                     {{"60", "16"}, {"-120", "16"}, {"90", "16"}, {"45", "16"}});
    compressed.setScale(0);
    const std::tuple<const char *, Section, LengthUnit, CanvasFont> pictures[] = {
        {"section-worked-example", kWorkedExample, LengthUnit::Millimetre, {}},
        {"section-channel-inches", channel, LengthUnit::FractionalInch, kMarkingDiagramFont},
        {"section-compressed", compressed, LengthUnit::Millimetre, kMarkingDiagramFont},
    };
    for (const auto &[name, section, unit, before] : pictures) {
        BoxTextCanvas canvas;
        draw(canvas, section, unit, before);
        EXPECT_TRUE(isReferencePicture(canvas, name));
    }
}

TEST(SectionDiagram, ALabelAboveTheMarginIsMovedDownToThePicturesTopEdge)
{
    // After a drawing in a tiny font, the margin above the worked example is lower than a label.
    BoxTextCanvas tiny;
    draw(tiny, kWorkedExample, LengthUnit::Millimetre, {1, false});
    ASSERT_EQ(tiny.printedAt.size(), 3u);
    EXPECT_EQ(*std::min_element(tiny.printedAt.begin(), tiny.printedAt.end()), tiny.scaleTop());
}

} // namespace
} // namespace corvane
