#include "diagrams/sectiondiagram.h"

#include "diagrams/imagecanvas.h"
#include "diagrams/recordingcanvas.h"
#include "shell/ground/numbers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvane {
namespace {

using test::DrawnItem;
using test::RecordingCanvas;

// Width of "XXXXXX" in user units at the given scale width, in the recording canvas's metrics.
float margin(float scaleWidth, double points, bool bold)
{
    return float(RecordingCanvas::metrics(QStringLiteral("XXXXXX"), points, bold).width() *
                 double(scaleWidth) / 400.0);
}

std::vector<DrawnItem> flanges(const RecordingCanvas &canvas)
{
    std::vector<DrawnItem> out;
    for (const DrawnItem &line : canvas.ofKind(DrawnItem::Kind::Line)) {
        if (line.colour == QColor(128, 128, 128))
            out.push_back(line);
    }
    return out;
}

TEST(SectionDiagram, WorkedExampleCornersAndFit)
{
    Section s = test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}});
    s.rotate().chooseText(QStringLiteral("0 "));
    RecordingCanvas canvas;
    drawSectionDiagram(canvas, s, 2, LengthUnit::Millimetre);

    const auto lines = flanges(canvas);
    ASSERT_EQ(lines.size(), 3u);
    const float corners[][2] = {{50.0f, 0.0f}, {50.000126f, -100.0f}, {0.0001259f, -100.00013f}};
    float x = 0, y = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(lines[i].x1, x) << i;
        EXPECT_FLOAT_EQ(lines[i].y1, y) << i;
        EXPECT_NEAR(lines[i].x2, corners[i][0], 2e-6) << i;
        EXPECT_NEAR(lines[i].y2, corners[i][1], 2e-5) << i;
        EXPECT_EQ(lines[i].penWidth, 4);
        x = lines[i].x2;
        y = lines[i].y2;
    }

    // A fresh canvas measures its margin in the design's 8.25 pt regular.
    const float w = margin(100.20013f, 8.25, false);
    EXPECT_FLOAT_EQ(canvas.scaleLeft(), -0.1f - w);
    EXPECT_FLOAT_EQ(canvas.scaleTop(), -100.10013f - w);
    EXPECT_FLOAT_EQ(canvas.scaleWidth(), 100.20013f + 2 * w);
    EXPECT_EQ(canvas.scaleHeight(), canvas.scaleWidth());
    EXPECT_EQ(canvas.pixelWidth(), 400);
    EXPECT_EQ(canvas.pixelHeight(), 400);
}

TEST(SectionDiagram, LabelsSitAboveLeftOfEachMidpoint)
{
    const Section s = test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}});
    RecordingCanvas canvas;
    drawSectionDiagram(canvas, s, 2, LengthUnit::DecimalInch);
    const auto texts = canvas.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "1.969");
    EXPECT_EQ(texts[1].text, "3.937");
    EXPECT_EQ(texts[2].text, "1.969");
    const auto lines = flanges(canvas);
    for (int i = 0; i < 3; ++i) {
        const QString placed = texts[i].text + QStringLiteral("  ");
        const double midX = (double(lines[i].x1) + lines[i].x2) / 2;
        const double midY = (double(lines[i].y1) + lines[i].y2) / 2;
        EXPECT_FLOAT_EQ(texts[i].x1, float(midX - canvas.textWidth(placed)));
        EXPECT_FLOAT_EQ(texts[i].y1, float(midY - canvas.textHeight(placed)));
        EXPECT_EQ(texts[i].fontSize, 9);
        EXPECT_TRUE(texts[i].bold);
    }
}

// The picture's canvas, keeping where each text was printed.
class PrintedTexts : public ImageCanvas
{
public:
    std::vector<DrawnItem> texts;
    using Canvas::textHeight;
    using Canvas::textWidth;

protected:
    void paintText(float x, float y, const QString &text) override
    {
        DrawnItem item;
        item.x1 = x;
        item.y1 = y;
        item.text = text;
        texts.push_back(item);
        ImageCanvas::paintText(x, y, text);
    }
};

void expectInsidePicture(PrintedTexts &canvas, const char *what)
{
    const float right = canvas.scaleLeft() + canvas.scaleWidth();
    const float bottom = canvas.scaleTop() + canvas.scaleHeight();
    for (const DrawnItem &text : canvas.texts) {
        EXPECT_GE(text.x1, canvas.scaleLeft()) << what << ' ' << text.text.toStdString();
        EXPECT_GE(text.y1, canvas.scaleTop()) << what << ' ' << text.text.toStdString();
        EXPECT_LE(text.x1 + canvas.textWidth(text.text), right + 1e-4f * canvas.scaleWidth())
            << what << ' ' << text.text.toStdString();
        EXPECT_LE(text.y1 + canvas.textHeight(text.text), bottom + 1e-4f * canvas.scaleHeight())
            << what << ' ' << text.text.toStdString();
    }
}

TEST(SectionDiagram, LabelsThatWouldLeaveThePictureAreMovedInJustFarEnough)
{
    // A channel standing on its flanges, in fractional inches: the first flange runs up from
    // the origin and its label "1 15/16" is wider than the margin left of it; cut at the
    // picture's edge it would read "15/16", an inch short. The fonts are those of the picture,
    // after a marking diagram as in every run.
    Section s = test::makeSection({"50", "100", "50"}, {{"-90", "16"}, {"-90", "16"}});
    s.rotate().chooseText(QStringLiteral("90"));
    PrintedTexts canvas;
    canvas.setFontSize(8);
    canvas.setBold(true);
    drawSectionDiagram(canvas, s, 2, LengthUnit::FractionalInch);
    ASSERT_EQ(canvas.texts.size(), 3u);
    EXPECT_EQ(canvas.texts[0].text, "1 15/16");
    expectInsidePicture(canvas, "50, 100, 50");

    // Only the label that would leave the picture moves, and only as far as its edge.
    RecordingCanvas recorded;
    recorded.setFontSize(8);
    recorded.setBold(true);
    drawSectionDiagram(recorded, s, 2, LengthUnit::FractionalInch);
    const auto lines = flanges(recorded);
    ASSERT_EQ(lines.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const QString placed = canvas.texts[i].text + QStringLiteral("  ");
        const double x = (double(lines[i].x1) + lines[i].x2) / 2 - canvas.textWidth(placed);
        const double y = (double(lines[i].y1) + lines[i].y2) / 2 - canvas.textHeight(placed);
        if (i == 0) {
            ASSERT_LT(x, canvas.scaleLeft()); // the case this test is about
            EXPECT_FLOAT_EQ(canvas.texts[i].x1, canvas.scaleLeft());
        } else {
            EXPECT_FLOAT_EQ(canvas.texts[i].x1, float(x)) << i;
        }
        EXPECT_FLOAT_EQ(canvas.texts[i].y1, float(y)) << i;
    }
}

TEST(SectionDiagram, MarginUsesTheFontThePreviousDrawingLeft)
{
    const Section s = test::makeSection({"80"}, {});
    RecordingCanvas canvas;
    canvas.setFontSize(8);
    canvas.setBold(true);
    drawSectionDiagram(canvas, s, 0, LengthUnit::Millimetre);
    // One flange of 80 to the right: extents 0 to 80 by 0 to 0.
    const float w = margin(80.2f, 8, true);
    EXPECT_FLOAT_EQ(canvas.scaleWidth(), 80.2f + 2 * w);
    EXPECT_FLOAT_EQ(canvas.scaleTop(), -0.1f - w);
    // The drawing leaves 9 pt bold for the next one.
    EXPECT_EQ(canvas.fontSize(), 9);
    EXPECT_TRUE(canvas.bold());
}

TEST(SectionDiagram, RotationAndBendSignsTurnTheProfile)
{
    struct Case
    {
        const char *rotate;
        const char *angle;
        float dx0, dy0, dx1, dy1; // directions of the two flanges
    };
    const Case cases[] = {
        {"0 ", "90", 1, 0, 0, -1},  // right, then up
        {"0 ", "-90", 1, 0, 0, 1},  // right, then down
        {"90", "0", 0, -1, 0, -1},  // up, straight on
        {"180", "90", -1, 0, 0, 1}, // left, then down
    };
    for (const Case &c : cases) {
        Section s = test::makeSection({"10", "10"}, {{c.angle, "16"}});
        s.rotate().chooseText(QString::fromUtf8(c.rotate));
        RecordingCanvas canvas;
        drawSectionDiagram(canvas, s, 1, LengthUnit::Millimetre);
        const auto lines = flanges(canvas);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_NEAR((lines[0].x2 - lines[0].x1) / 10, c.dx0, 1e-5) << c.rotate << ' ' << c.angle;
        EXPECT_NEAR((lines[0].y2 - lines[0].y1) / 10, c.dy0, 1e-5) << c.rotate << ' ' << c.angle;
        EXPECT_NEAR((lines[1].x2 - lines[1].x1) / 10, c.dx1, 1e-5) << c.rotate << ' ' << c.angle;
        EXPECT_NEAR((lines[1].y2 - lines[1].y1) / 10, c.dy1, 1e-5) << c.rotate << ' ' << c.angle;
    }
}

TEST(SectionDiagram, CompressedScaleDrawsLogarithmsButLabelsTheLengths)
{
    EXPECT_EQ(singleText(scaleLength(50, 0)), "4.912023");
    EXPECT_EQ(singleText(scaleLength(100, 0)), "5.60517");
    EXPECT_EQ(scaleLength(1, 0), 1.0f);
    EXPECT_EQ(singleText(scaleLength(0.5f, 0)), "0.3068528");
    EXPECT_EQ(scaleLength(50, 1), 50.0f);

    Section s = test::makeSection({"50", "100"}, {{"0", "16"}});
    s.setScale(0);
    RecordingCanvas canvas;
    drawSectionDiagram(canvas, s, 1, LengthUnit::Millimetre);
    const auto lines = flanges(canvas);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[0].x2, 4.912023f);
    EXPECT_FLOAT_EQ(lines[1].x2, 4.912023f + 5.605170f);
    EXPECT_EQ(canvas.texts()[0].text, "50");
    EXPECT_EQ(canvas.texts()[1].text, "100");
}

TEST(SectionDiagram, NegativeLengthsNeverGiveAnUnusableScale)
{
    Section s = test::makeSection({"50", "-20", "30"}, {{"90", "16"}, {"90", "16"}});
    s.setScale(0);
    RecordingCanvas canvas;
    drawSectionDiagram(canvas, s, 2, LengthUnit::Millimetre);
    EXPECT_TRUE(std::isfinite(canvas.scaleWidth()));
    EXPECT_GT(canvas.scaleWidth(), 0);
    for (const DrawnItem &item : canvas.items) {
        EXPECT_TRUE(std::isfinite(item.x1) && std::isfinite(item.y1) && std::isfinite(item.x2) &&
                    std::isfinite(item.y2));
    }
}

} // namespace
} // namespace corvane
