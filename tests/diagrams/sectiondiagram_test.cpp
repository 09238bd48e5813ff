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

// A channel standing on its flanges: up, right, down. In inches its first label is "1 15/16".
Section channel()
{
    Section s = makeSection({"50", "100", "50"}, {{"-90", "16"}, {"-90", "16"}});
    s.rotate().chooseText(QStringLiteral("90"));
    return s;
}

// The section drawn on the canvas after a drawing that left the given font.
void draw(Canvas &canvas, const Section &section, LengthUnit unit, CanvasFont before = {})
{
    canvas.setFont(before);
    const BendCalculation c = calculateSection(section, "MS", "2", workedExampleTable());
    drawSectionDiagram(canvas, c, section.scale(), unit);
}

TEST(SectionDiagram, DrawsTheProfileToScaleOrCompressedWithItsLengths)
{
    // The worked example on a new canvas; after a marking diagram, the channel in inches, whose
    // first label is wider than the margin, and five flanges compressed, one of them negative.
    Section compressed = makeSection({"200", "50", "-5", "0.5", "20"},
                                     {{"60", "16"}, {"-120", "16"}, {"90", "16"}, {"45", "16"}});
    compressed.setScale(0);
    const std::tuple<const char *, Section, LengthUnit, CanvasFont> pictures[] = {
        {"section-worked-example", kWorkedExample, LengthUnit::Millimetre, {}},
        {"section-channel-inches", channel(), LengthUnit::FractionalInch, kMarkingDiagramFont},
        {"section-compressed", compressed, LengthUnit::Millimetre, kMarkingDiagramFont},
    };
    for (const auto &[name, section, unit, before] : pictures) {
        BoxTextCanvas canvas;
        draw(canvas, section, unit, before);
        EXPECT_TRUE(isReferencePicture(canvas, name));
    }
}

TEST(SectionDiagram, LabelsAreMovedInsideThePictureRatherThanCut)
{
    // Cut at the picture's left edge, the channel's "1 15/16" would read "15/16", an inch short.
    // After a drawing in a tiny font, the margin above the worked example is lower than a label.
    RecordingCanvas inches, tiny;
    draw(inches, channel(), LengthUnit::FractionalInch, kMarkingDiagramFont);
    draw(tiny, kWorkedExample, LengthUnit::Millimetre, {1, false});
    EXPECT_EQ(inches.texts.at(0).text, "1 15/16");
    EXPECT_EQ(inches.texts.at(0).x1, inches.scaleLeft());
    EXPECT_TRUE(std::any_of(tiny.texts.begin(), tiny.texts.end(),
                            [&](const DrawnItem &label) { return label.y1 == tiny.scaleTop(); }));
    for (const RecordingCanvas *canvas : {&inches, &tiny}) {
        ASSERT_EQ(canvas->texts.size(), 3u);
        for (const DrawnItem &label : canvas->texts) {
            const std::string text = label.text.toStdString();
            EXPECT_GE(label.x1, canvas->scaleLeft()) << text;
            EXPECT_GE(label.y1, canvas->scaleTop()) << text;
            EXPECT_LE(label.x1 + canvas->textWidth(label.text),
                      canvas->scaleLeft() + canvas->scaleWidth())
                << text;
        }
    }
}

TEST(SectionDiagram, TheMarginIsMeasuredInTheFontThePreviousDrawingLeft)
{
    RecordingCanvas small, large;
    draw(small, channel(), LengthUnit::Millimetre, {1, false});
    draw(large, channel(), LengthUnit::Millimetre, kSectionDiagramFont);
    EXPECT_LT(small.scaleWidth(), large.scaleWidth());
}

} // namespace
} // namespace corvane
