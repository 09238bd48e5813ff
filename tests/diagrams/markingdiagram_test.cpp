#include "diagrams/markingdiagram.h"

#include "diagrams/recordingcanvas.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::DrawnItem;
using test::makeSection;
using test::RecordingCanvas;

struct Drawn
{
    BendCalculation calculation;
    RecordingCanvas canvas;
    QStringList texts() const
    {
        QStringList out;
        for (const DrawnItem &item : canvas.texts)
            out << item.text;
        return out;
    }
};

Drawn draw(const Section &section, LengthUnit unit = LengthUnit::Millimetre)
{
    Drawn d{calculateSection(section, QStringLiteral("MS"), QStringLiteral("2"),
                             test::workedExampleTable()),
            {}};
    // The section diagram leaves the canvas in 9 pt bold.
    d.canvas.setFontSize(9);
    d.canvas.setBold(true);
    drawMarkingDiagram(d.canvas, section, d.calculation, unit);
    return d;
}

const Section kWorkedExample = makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}});

TEST(MarkingDiagram, WorkedExampleFitBlankAndStations)
{
    const Drawn d = draw(kWorkedExample);
    const float u = d.calculation.unfoldedTotal;
    const RecordingCanvas &canvas = d.canvas;

    // The margin is measured in the 9 pt bold the section diagram left, at scale width U + 0.2.
    const float w = float(RecordingCanvas::metrics(QStringLiteral("XXXXXX"), 9, true).width() *
                          double(192.55664f) / 800.0);
    EXPECT_FLOAT_EQ(canvas.scaleLeft(), -0.1f - w);
    EXPECT_FLOAT_EQ(canvas.scaleTop(), -0.1f - w);
    EXPECT_FLOAT_EQ(canvas.scaleWidth(), 192.55664f + 2 * w);
    EXPECT_FLOAT_EQ(canvas.scaleHeight(), canvas.scaleWidth() * 8 / 12);

    // The blank with a 4-pixel pen, then two solid bend lines at the stations U/3 and 2U/3.
    ASSERT_EQ(canvas.boxes.size(), 3u);
    EXPECT_FLOAT_EQ(canvas.boxes[0].y1, 0.1f * u);
    EXPECT_FLOAT_EQ(canvas.boxes[0].x2, u);
    EXPECT_FLOAT_EQ(canvas.boxes[0].y2, 0.3f * u);
    EXPECT_EQ(canvas.boxes[0].penWidth, 4);
    EXPECT_FLOAT_EQ(canvas.boxes[1].x1, 64.11888f);
    EXPECT_FLOAT_EQ(canvas.boxes[2].x1, 128.23776f);
    EXPECT_FALSE(canvas.boxes[1].dotted);
    EXPECT_EQ(canvas.boxes[1].penWidth, 1);

    // A dot at each end of the blank.
    ASSERT_EQ(canvas.dots.size(), 2u);
    EXPECT_FLOAT_EQ(canvas.dots[0].y1, float(0.35 * u));
    EXPECT_NEAR(canvas.dots[1].x1, u, 1e-4);
    EXPECT_FLOAT_EQ(canvas.dots[1].y1, float(0.05 * u));
}

TEST(MarkingDiagram, WorkedExampleLabelsAndTheirPlaces)
{
    const Drawn d = draw(kWorkedExample);
    EXPECT_EQ(d.texts(),
              (QStringList{"192.36", "Up 90", "A 90", "V 16", "48.09", "48.09", "144.27", "Up 90",
                           "A 90", "V 16", "144.27", "96.18", "48.09", "192.36", "48.09"}));
    EXPECT_EQ(draw(kWorkedExample, LengthUnit::FractionalInch).texts(),
              (QStringList{"7 9/16", "Up 90", "A 90", "V 5/8", "1 7/8", "1 7/8", "5 11/16", "Up 90",
                           "A 90", "V 5/8", "5 11/16", "3 13/16", "1 7/8", "7 9/16", "1 7/8"}));

    const RecordingCanvas &c = d.canvas;
    const double u = d.calculation.unfoldedTotal;
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
        {7, 2 * p - c.textWidth("Up 90") / 2, double(float(0.16 * u)) + xxx},
        // An Up bend's angle and vee under the base line.
        {2, p - c.textWidth("A 90") / 2, 0.6 * u},
        {3, p - c.textWidth("V 16") / 2, double(float(0.6 * u)) + x},
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

TEST(MarkingDiagram, DnBendIsDottedWithItsArrowFromBelow)
{
    const Drawn d = draw(makeSection({"50", "100"}, {{"-45", "16"}}));
    const RecordingCanvas &canvas = d.canvas;
    const float u = d.calculation.unfoldedTotal;
    ASSERT_EQ(canvas.boxes.size(), 2u);
    EXPECT_TRUE(canvas.boxes[1].dotted);
    EXPECT_FALSE(canvas.dotted());
    const QStringList texts = d.texts();
    ASSERT_EQ(texts.mid(1, 3), (QStringList{"Dn 45", "A -45", "V 16"}));
    const float x = canvas.textHeight(QStringLiteral("X"));
    EXPECT_FLOAT_EQ(canvas.texts[2].y1, float(0.6 * u) - x);
    EXPECT_FLOAT_EQ(canvas.texts[3].y1, float(float(0.6 * u) - 2.0 * x));
    // The leader rises from 0.7U to the base line.
    EXPECT_TRUE(std::any_of(canvas.lines.begin(), canvas.lines.end(), [u](const DrawnItem &l) {
        return l.y1 == float(0.7 * u) && l.y2 == float(0.6 * u) && l.x1 == l.x2;
    }));
}

TEST(MarkingDiagram, FlangesWithoutBendsGetStationsButNoBendMarks)
{
    // A single flange has no chain of flat lengths either.
    const Drawn single = draw(makeSection({"80"}, {}));
    EXPECT_EQ(single.texts(), (QStringList{"80", "80"}));
    EXPECT_EQ(single.canvas.boxes.size(), 1u);
    const Drawn flat = draw(makeSection({"50", "100"}, {{"0", "16"}}));
    EXPECT_EQ(flat.texts(), (QStringList{"150", "50", "50", "100", "150", "100"}));
    EXPECT_EQ(flat.canvas.boxes.size(), 1u);
}

TEST(MarkingDiagram, ArrowHeadReturnsToItsPoint)
{
    RecordingCanvas canvas;
    canvas.setCurrentX(10);
    canvas.setCurrentY(20);
    drawArrowHead(canvas, +1, 100);
    ASSERT_EQ(canvas.lines.size(), 3u);
    EXPECT_FLOAT_EQ(canvas.lines[0].x2, 11);
    EXPECT_FLOAT_EQ(canvas.lines[0].y2, 21);
    EXPECT_FLOAT_EQ(canvas.lines[1].y2, 19);
    EXPECT_FLOAT_EQ(canvas.currentX(), 10);
    EXPECT_FLOAT_EQ(canvas.currentY(), 20);
}

TEST(MarkingDiagram, BlankOfNoLengthDrawsNothing)
{
    BendCalculation c;
    c.gatePassed = true;
    c.lastFlange = 0;
    c.unfoldedTotal = -5;
    RecordingCanvas canvas;
    drawMarkingDiagram(canvas, Section(), c, LengthUnit::Millimetre);
    EXPECT_EQ(canvas.clears, 1);
    EXPECT_TRUE(canvas.lines.empty() && canvas.boxes.empty() && canvas.texts.empty());
}

} // namespace
} // namespace corvane
