#include "diagrams/markingdiagram.h"

#include "diagrams/recordingcanvas.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace corvane {
namespace {

using namespace test;

QStringList texts(const RecordingCanvas &canvas)
{
    QStringList out;
    for (const DrawnItem &item : canvas.texts)
        out << item.text;
    return out;
}

RecordingCanvas drawn(const Section &section, LengthUnit unit = LengthUnit::Millimetre)
{
    RecordingCanvas canvas;
    // The section diagram leaves the canvas in 9 pt bold.
    canvas.setFontSize(9);
    canvas.setBold(true);
    drawMarkingDiagram(canvas, section,
                       calculateSection(section, "MS", "2", test::workedExampleTable()), unit);
    return canvas;
}

// Whether a line was drawn from (x1, y1) to (x2, y2), to within a rounding.
bool hasLine(const RecordingCanvas &canvas, double x1, double y1, double x2, double y2)
{
    return std::any_of(canvas.lines.begin(), canvas.lines.end(), [&](const DrawnItem &l) {
        return std::hypot(l.x1 - x1, l.y1 - y1) + std::hypot(l.x2 - x2, l.y2 - y2) < 1e-3;
    });
}

// The worked example with its second bend down, which changes no length: U is 192.35664.
const Section kUpAndDown = makeSection({"50", "100", "50"}, {{"90", "16"}, {"-90", "16"}});
const float kU = 192.35664f;

TEST(MarkingDiagram, FitBlankAndBendLines)
{
    const RecordingCanvas canvas = drawn(kUpAndDown);

    // The margin is measured in the 9 pt bold the section diagram left, at scale width U + 0.2.
    const float w = float(RecordingCanvas::metrics("XXXXXX", 9, true).width() * 192.55664 / 800);
    EXPECT_FLOAT_EQ(canvas.scaleLeft(), -0.1f - w);
    EXPECT_FLOAT_EQ(canvas.scaleTop(), -0.1f - w);
    EXPECT_FLOAT_EQ(canvas.scaleWidth(), 192.55664f + 2 * w);
    EXPECT_FLOAT_EQ(canvas.scaleHeight(), canvas.scaleWidth() * 8 / 12);

    // The blank from 0.1U to 0.3U with a 4-pixel pen; the bend lines across it at the stations
    // U/3 and 2U/3, solid for Up and dotted for Dn.
    const auto at = [](double fraction) {
        return float(fraction * kU);
    };
    ASSERT_EQ(canvas.boxes.size(), 3u);
    EXPECT_EQ(canvas.boxes[0].ends(), (std::array{0.0f, at(0.1), kU, at(0.3)}));
    EXPECT_EQ(canvas.boxes[0].penWidth, 4);
    EXPECT_EQ(canvas.boxes[1].ends(), (std::array{64.11888f, at(0.1), 64.11888f, at(0.3)}));
    EXPECT_EQ(canvas.boxes[2].ends(), (std::array{128.23776f, at(0.1), 128.23776f, at(0.3)}));
    EXPECT_EQ(canvas.boxes[1].penWidth, 1);
    EXPECT_FALSE(canvas.boxes[1].dotted);
    EXPECT_TRUE(canvas.boxes[2].dotted);
    EXPECT_FALSE(canvas.dotted());

    // Lines, in fractions of U: ticks at the left end and the first station, the base line, each
    // bend's leader (from 0.5 for Up, 0.7 for Dn) with its arrowhead's first stroke, the first
    // segment's dimension lines, and the last flat length's arrowhead pointing right at the end.
    const double t = 1.0 / 3;
    const double lines[][4] = {
        {0, 0, 0, .09},        {0, .31, 0, .4},        {t, 0, t, .09},
        {t, .31, t, .4},       {0, .6, 1, .6},         {t, .5, t, .6},
        {t, .6, t - .01, .59}, {2 * t, .7, 2 * t, .6}, {2 * t, .6, 2 * t - .01, .61},
        {0, .35, t, .35},      {t, .05, 0, .05},       {t, .27, 0, .27},
        {1, .27, .99, .26}};
    for (const auto &[x1, y1, x2, y2] : lines) {
        EXPECT_TRUE(hasLine(canvas, x1 * kU, y1 * kU, x2 * kU, y2 * kU))
            << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2;
    }

    // A dot at each end of the blank.
    ASSERT_EQ(canvas.dots.size(), 2u);
    EXPECT_EQ(canvas.dots[0].y1, at(0.35));
    EXPECT_NEAR(canvas.dots[1].x1, kU, 1e-4);
    EXPECT_EQ(canvas.dots[1].y1, at(0.05));
}

TEST(MarkingDiagram, LabelsAndTheirPlaces)
{
    const RecordingCanvas c = drawn(kUpAndDown);
    EXPECT_EQ(texts(c),
              (QStringList{"192.36", "Up 90", "A 90", "V 16", "48.09", "48.09", "144.27", "Dn 90",
                           "A -90", "V 16", "144.27", "96.18", "48.09", "192.36", "48.09"}));
    EXPECT_EQ(texts(drawn(kUpAndDown, LengthUnit::FractionalInch)),
              (QStringList{"7 9/16", "Up 90", "A 90", "V 5/8", "1 7/8", "1 7/8", "5 11/16", "Dn 90",
                           "A -90", "V 5/8", "5 11/16", "3 13/16", "1 7/8", "7 9/16", "1 7/8"}));

    const double u = kU;
    const double p = 64.11888;
    const double x = c.textHeight("X");
    const double xxx = c.textHeight("XXX");
    // Index into the texts above, and where that text starts.
    const double places[][3] = {
        // Distances from the right end above the blank, odd flanges a line higher.
        {0, 0, 0},
        {6, p, -xxx},
        // Bends centred on their lines, every other one a line lower.
        {1, p - c.textWidth("Up 90") / 2, 0.16 * u},
        {7, 2 * p - c.textWidth("Dn 90") / 2, double(float(0.16 * u)) + xxx},
        // Angle and vee under the base line for an Up bend, over it for a Dn bend.
        {2, p - c.textWidth("A 90") / 2, 0.6 * u},
        {3, p - c.textWidth("V 16") / 2, double(float(0.6 * u)) + x},
        {8, 2 * p - c.textWidth("A -90") / 2, double(float(0.6 * u)) - x},
        {9, 2 * p - c.textWidth("V 16") / 2, double(float(0.6 * u)) - 2 * x},
        // Distances from the left end below the blank, ending a blank's width left of their
        // station; even flanges a line higher.
        {4, p - c.textWidth("48.09 "), double(float(0.4 * u)) - xxx},
        {10, 2 * p - c.textWidth("144.27 "), 0.4 * u},
        // Flat lengths centred on their segments.
        {11, 2 * p - (c.textWidth("96.18") + p) / 2.0, 0.24 * u},
    };
    for (const auto &[index, left, top] : places) {
        const DrawnItem &text = c.texts.at(size_t(index));
        EXPECT_FLOAT_EQ(text.x1, float(left)) << text.text.toStdString() << " at " << index;
        EXPECT_FLOAT_EQ(text.y1, float(top)) << text.text.toStdString() << " at " << index;
    }
}

TEST(MarkingDiagram, FlangesWithoutBendsGetNoBendMarksNoLengthNothingAndArrowheadsReturn)
{
    // A single flange has no chain of flat lengths either.
    const RecordingCanvas single = drawn(makeSection({"80"}, {}));
    EXPECT_EQ(texts(single), (QStringList{"80", "80"}));
    EXPECT_EQ(single.boxes.size(), 1u);
    const RecordingCanvas flat = drawn(makeSection({"50", "100"}, {{"0", "16"}}));
    EXPECT_EQ(texts(flat), (QStringList{"150", "50", "50", "100", "150", "100"}));
    EXPECT_EQ(flat.boxes.size(), 1u);

    // A blank of no length draws nothing.
    BendCalculation none;
    none.unfoldedTotal = -5;
    RecordingCanvas empty;
    drawMarkingDiagram(empty, Section(), none, LengthUnit::Millimetre);
    EXPECT_EQ(empty.clears, 1);
    EXPECT_TRUE(empty.lines.empty() && empty.boxes.empty() && empty.texts.empty());

    // An arrowhead returns to its point.
    RecordingCanvas canvas;
    canvas.setCurrentX(10);
    canvas.setCurrentY(20);
    drawArrowHead(canvas, +1, 100);
    ASSERT_EQ(canvas.lines.size(), 3u);
    EXPECT_EQ(canvas.lines[0].ends(), (std::array{10.0f, 20.0f, 11.0f, 21.0f}));
    EXPECT_EQ(canvas.lines[2].ends(), (std::array{11.0f, 19.0f, 10.0f, 20.0f}));
}

} // namespace
} // namespace corvane
