#include "diagrams/markingdiagram.h"

#include "diagrams/recordingcanvas.h"
#include "testsupport.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

using test::DrawnItem;
using test::RecordingCanvas;

struct Drawn
{
    BendCalculation calculation;
    RecordingCanvas canvas;
};

std::unique_ptr<Drawn> draw(const Section &section, LengthUnit unit = LengthUnit::Millimetre)
{
    auto drawn = std::make_unique<Drawn>();
    drawn->calculation = calculateSection(section, QStringLiteral("MS"), QStringLiteral("2"),
                                          test::workedExampleTable());
    // The section diagram leaves the canvas in 9 pt bold.
    drawn->canvas.setFontSize(9);
    drawn->canvas.setBold(true);
    drawMarkingDiagram(drawn->canvas, section, drawn->calculation, unit);
    return drawn;
}

const DrawnItem *findText(const RecordingCanvas &canvas, const QString &text, int nth = 0)
{
    for (const DrawnItem &item : canvas.items) {
        if (item.kind == DrawnItem::Kind::Text && item.text == text && nth-- == 0)
            return &item;
    }
    return nullptr;
}

QStringList textsOf(const RecordingCanvas &canvas)
{
    QStringList out;
    for (const DrawnItem &item : canvas.texts())
        out << item.text;
    return out;
}

TEST(MarkingDiagram, WorkedExampleFitAndStations)
{
    const auto d = draw(test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}}));
    const float u = d->calculation.unfoldedTotal;
    ASSERT_EQ(u, 192.35664f);
    RecordingCanvas &canvas = d->canvas;

    // The margin is measured in the 9 pt bold the section diagram left, at scale width U + 0.2.
    const float w = float(RecordingCanvas::metrics(QStringLiteral("XXXXXX"), 9, true).width() *
                          double(192.55664f) / 800.0);
    EXPECT_FLOAT_EQ(canvas.scaleLeft(), -0.1f - w);
    EXPECT_FLOAT_EQ(canvas.scaleTop(), -0.1f - w);
    EXPECT_FLOAT_EQ(canvas.scaleWidth(), 192.55664f + 2 * w);
    EXPECT_FLOAT_EQ(canvas.scaleHeight(), canvas.scaleWidth() * 8 / 12);
    EXPECT_EQ(canvas.pixelWidth(), 800);
    EXPECT_EQ(canvas.pixelHeight(), 400);

    // The blank, with a 4-pixel pen.
    const auto boxes = canvas.ofKind(DrawnItem::Kind::Box);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_FLOAT_EQ(boxes[0].y1, 0.1f * u);
    EXPECT_FLOAT_EQ(boxes[0].x2, u);
    EXPECT_FLOAT_EQ(boxes[0].y2, 0.3f * u);
    EXPECT_EQ(boxes[0].penWidth, 4);
    // Two solid bend lines at the stations 64.11888 and 128.23776.
    EXPECT_FLOAT_EQ(boxes[1].x1, 64.11888f);
    EXPECT_FLOAT_EQ(boxes[2].x1, 128.23776f);
    EXPECT_FALSE(boxes[1].dotted);
    EXPECT_EQ(boxes[1].penWidth, 1);

    // Both end dots.
    const auto dots = canvas.ofKind(DrawnItem::Kind::Dot);
    ASSERT_EQ(dots.size(), 2u);
    EXPECT_FLOAT_EQ(dots[0].y1, float(0.35 * u));
    EXPECT_NEAR(dots[1].x1, u, 1e-4);
    EXPECT_FLOAT_EQ(dots[1].y1, float(0.05 * u));
}

TEST(MarkingDiagram, WorkedExampleLabelsAndTheirPlaces)
{
    const auto d = draw(test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}}));
    const float u = d->calculation.unfoldedTotal;
    RecordingCanvas &canvas = d->canvas;
    EXPECT_EQ(textsOf(canvas), (QStringList{"192.36", "Up 90", "A 90", "V 16", "48.09", "48.09",  //
                                            "144.27", "Up 90", "A 90", "V 16", "144.27", "96.18", //
                                            "48.09", "192.36", "48.09"}));

    const float p = 64.11888f;
    const float xxx = canvas.textHeight(QStringLiteral("XXX"));
    const float x = canvas.textHeight(QStringLiteral("X"));
    // Distance-from-right labels: odd flanges one line higher.
    EXPECT_FLOAT_EQ(findText(canvas, "192.36")->x1, 0);
    EXPECT_FLOAT_EQ(findText(canvas, "192.36")->y1, 0);
    EXPECT_FLOAT_EQ(findText(canvas, "144.27")->x1, p);
    EXPECT_FLOAT_EQ(findText(canvas, "144.27")->y1, -xxx);
    // Up labels centred on the bend lines, the second one a line lower.
    const DrawnItem *up0 = findText(canvas, "Up 90");
    const DrawnItem *up1 = findText(canvas, "Up 90", 1);
    EXPECT_FLOAT_EQ(up0->x1, float(p - canvas.textWidth("Up 90") / 2.0));
    EXPECT_FLOAT_EQ(up0->y1, float(0.16 * u));
    EXPECT_FLOAT_EQ(up1->y1, float(0.16 * u) + xxx);
    // Angle and vee under the base line for an Up bend.
    EXPECT_FLOAT_EQ(findText(canvas, "A 90")->y1, float(0.6 * u));
    EXPECT_FLOAT_EQ(findText(canvas, "V 16")->y1, float(0.6 * u) + x);
    // Distance-from-left labels end a blank's width left of their station; even flanges higher.
    const DrawnItem *left1 = findText(canvas, "48.09", 0);
    EXPECT_FLOAT_EQ(left1->x1, float(p - canvas.textWidth("48.09 ")));
    EXPECT_FLOAT_EQ(left1->y1, float(0.4 * u) - xxx);
    EXPECT_FLOAT_EQ(findText(canvas, "144.27", 1)->y1, float(0.4 * u));
    // Flat lengths centred on their segments.
    const DrawnItem *flat1 = findText(canvas, "96.18");
    EXPECT_FLOAT_EQ(flat1->x1, float(128.23776 - (canvas.textWidth("96.18") + p) / 2.0));
    EXPECT_FLOAT_EQ(flat1->y1, float(0.24 * u));
}

TEST(MarkingDiagram, LabelsFollowTheUnit)
{
    const auto d = draw(test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}}),
                        LengthUnit::FractionalInch);
    const QStringList texts = textsOf(d->canvas);
    EXPECT_EQ(texts[0], "7 9/16");
    EXPECT_TRUE(texts.contains("5 11/16"));
    EXPECT_TRUE(texts.contains("1 7/8"));
    EXPECT_TRUE(texts.contains("V 5/8"));
    EXPECT_TRUE(texts.contains("A 90"));
}

TEST(MarkingDiagram, DnBendIsDottedWithItsArrowFromBelow)
{
    const auto d = draw(test::makeSection({"50", "100"}, {{"-45", "16"}}));
    RecordingCanvas &canvas = d->canvas;
    const float u = d->calculation.unfoldedTotal;
    const auto boxes = canvas.ofKind(DrawnItem::Kind::Box);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].dotted);
    EXPECT_TRUE(textsOf(canvas).contains("Dn 45"));
    const float x = canvas.textHeight(QStringLiteral("X"));
    EXPECT_FLOAT_EQ(findText(canvas, "A -45")->y1, float(0.6 * u) - x);
    EXPECT_FLOAT_EQ(findText(canvas, "V 16")->y1, float(float(0.6 * u) - 2.0 * x));
    // The leader rises from 0.7U to the base line.
    bool leader = false;
    for (const DrawnItem &line : canvas.ofKind(DrawnItem::Kind::Line)) {
        leader = leader ||
                 (line.y1 == float(0.7 * u) && line.y2 == float(0.6 * u) && line.x1 == line.x2);
    }
    EXPECT_TRUE(leader);
    EXPECT_FALSE(canvas.dotted());
}

TEST(MarkingDiagram, SingleFlangeHasNoBendsAndNoFlatChain)
{
    const auto d = draw(test::makeSection({"80"}, {}));
    EXPECT_EQ(textsOf(d->canvas), (QStringList{"80", "80"}));
    EXPECT_EQ(d->canvas.ofKind(DrawnItem::Kind::Box).size(), 1u);
    EXPECT_TRUE(d->canvas.ofKind(DrawnItem::Kind::Point).empty());
}

TEST(MarkingDiagram, FlatBendGetsItsStationButNoBendMarks)
{
    const auto d = draw(test::makeSection({"50", "100"}, {{"0", "16"}}));
    const QStringList texts = textsOf(d->canvas);
    EXPECT_EQ(texts, (QStringList{"150", "50", "50", "100", "150", "100"}));
    EXPECT_EQ(d->canvas.ofKind(DrawnItem::Kind::Box).size(), 1u);
}

TEST(MarkingDiagram, ArrowHeadReturnsToItsPoint)
{
    RecordingCanvas canvas;
    canvas.setSize(1500, 1500);
    canvas.setScaleWidth(100);
    canvas.setScaleHeight(100);
    canvas.setCurrentX(10);
    canvas.setCurrentY(20);
    drawArrowHead(canvas, +1, 100);
    const auto lines = canvas.ofKind(DrawnItem::Kind::Line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_FLOAT_EQ(lines[0].x2, 11);
    EXPECT_FLOAT_EQ(lines[0].y2, 21);
    EXPECT_FLOAT_EQ(lines[1].y2, 19);
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
    EXPECT_EQ(canvas.items.size(), 1u); // the clear
}

} // namespace
} // namespace corvane
