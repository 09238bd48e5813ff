#include "diagrams/sectiondiagram.h"

#include "diagrams/markingdiagram.h"
#include "diagrams/testcanvases.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace corvane {
namespace {

using namespace test;

TEST(SectionDiagram, DrawsTheProfileToScaleOrCompressedWithItsLengths)
{
    // The label margin is measured in the font the drawing before left. The worked example on a
    // new canvas; after a marking diagram, a channel in inches whose first label "1 15/16" is
    // moved inside rather than cut to read "15/16", and five flanges compressed, one negative;
    // after a tiny font, the worked example with a label moved down to the top edge.
    const Section worked = makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}});
    Section channel = makeSection({"50", "100", "50"}, {{"-90", "16"}, {"-90", "16"}});
    channel.rotate().chooseText(QStringLiteral("90"));
    Section compressed = makeSection({"200", "50", "-5", "0.5", "20"},
                                     {{"60", "16"}, {"-120", "16"}, {"90", "16"}, {"45", "16"}});
    compressed.setScale(0);
    const std::tuple<const char *, Section, LengthUnit, CanvasFont> pictures[] = {
        {"section-worked-example", worked, LengthUnit::Millimetre, {}},
        {"section-channel-inches", channel, LengthUnit::FractionalInch, kMarkingDiagramFont},
        {"section-compressed", compressed, LengthUnit::Millimetre, kMarkingDiagramFont},
        {"section-label-at-top", worked, LengthUnit::Millimetre, {1, false}},
    };
    for (const auto &[name, section, unit, before] : pictures) {
        BoxTextCanvas canvas;
        canvas.setFont(before); // as the drawing before left it
        const BendCalculation c = calculateSection(section, "MS", "2", workedExampleTable());
        drawSectionDiagram(canvas, c, section.scale(), unit);
        EXPECT_TRUE(isReferencePicture(canvas, name));
    }
}

} // namespace
} // namespace corvane
