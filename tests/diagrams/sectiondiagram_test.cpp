#include "diagrams/sectiondiagram.h"

#include "diagrams/recordingcanvas.h"
#include "testsupport.h"

#include <QPointF>

#include <gtest/gtest.h>

#include <algorithm>

namespace corvane {
namespace {

using namespace test;

// The flanges: the lines drawn in gray.
std::vector<DrawnItem> flanges(const RecordingCanvas &canvas)
{
    std::vector<DrawnItem> out;
    std::copy_if(canvas.lines.begin(), canvas.lines.end(), std::back_inserter(out),
                 [](const DrawnItem &line) { return line.colour == QColor(128, 128, 128); });
    return out;
}

TEST(SectionDiagram, ProfileFitsThePictureWithItsLabelsInsideAtEveryScale)
{
    // Each profile is drawn after a drawing that left the given font, which the margin is
    // measured in. Pi is 3.14159 held as a single: the corners are off by a little. The channel's
    // first label, "1 15/16" in the 8 pt bold a marking diagram leaves, is wider than the margin
    // left of it; cut at the picture's edge it would read "15/16", an inch short. A margin
    // measured in a tiny font is lower than a label.
    int movedIn = 0, movedDown = 0;
    const auto check = [&](const Section &section, LengthUnit unit, double points, bool bold,
                           float top, float side, const QList<QPointF> &corners,
                           const QStringList &labels) {
        // top and side: of the profile's bounding square, 0.1 larger on each side.
        SCOPED_TRACE(labels.join(' ').toStdString());
        RecordingCanvas canvas;
        canvas.setFontSize(points);
        canvas.setBold(bold);
        drawSectionDiagram(canvas, section, 2, unit);
        const float w =
            float(RecordingCanvas::metrics("XXXXXX", points, bold).width() * side / 400.0);
        EXPECT_FLOAT_EQ(canvas.scaleLeft(), -0.1f - w);
        EXPECT_FLOAT_EQ(canvas.scaleTop(), top - w);
        EXPECT_FLOAT_EQ(canvas.scaleWidth(), side + 2 * w);
        EXPECT_EQ(canvas.scaleHeight(), canvas.scaleWidth());
        // The drawing leaves 9 pt bold for the next one.
        EXPECT_EQ(canvas.fontSize(), 9);
        EXPECT_TRUE(canvas.bold());

        const auto lines = flanges(canvas);
        ASSERT_EQ(lines.size(), 3u);
        ASSERT_EQ(canvas.texts.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(lines[i].x2, corners[i].x(), 2e-5) << i;
            EXPECT_NEAR(lines[i].y2, corners[i].y(), 2e-5) << i;
            EXPECT_EQ(lines[i].penWidth, 4) << i;
            // The label sits above and to the left of the midpoint, moved in at the left and top
            // edges.
            const DrawnItem &label = canvas.texts[i];
            EXPECT_EQ(label.text, labels[i]);
            const QString placed = label.text + QStringLiteral("  ");
            const double x = (double(lines[i].x1) + lines[i].x2) / 2 - canvas.textWidth(placed);
            const double y = (double(lines[i].y1) + lines[i].y2) / 2 - canvas.textHeight(placed);
            movedIn += x < canvas.scaleLeft();
            movedDown += y < canvas.scaleTop();
            EXPECT_FLOAT_EQ(label.x1, float(std::max(x, double(canvas.scaleLeft())))) << i;
            EXPECT_FLOAT_EQ(label.y1, float(std::max(y, double(canvas.scaleTop())))) << i;
        }
    };
    // The worked example, and a channel standing on its flanges: up, right, down.
    check(test::makeSection({"50", "100", "50"}, {{"90", "16"}, {"90", "16"}}),
          LengthUnit::Millimetre, 1, false, -100.10013f, 100.20013f,
          {{50, 0}, {50.000126f, -100}, {0.0001259f, -100.00013f}}, {"50", "100", "50"});
    Section channel = test::makeSection({"50", "100", "50"}, {{"-90", "16"}, {"-90", "16"}});
    channel.rotate().chooseText(QStringLiteral("90"));
    check(channel, LengthUnit::FractionalInch, 8, true, -50.1f, 100.20012f,
          {{0.0000663f, -50}, {100.00007f, -50}, {100.00012f, 0}},
          {"1 15/16", "3 15/16", "1 15/16"});
    EXPECT_GT(movedIn, 0);
    EXPECT_GT(movedDown, 0);

    // The compressed scale draws logarithms but labels the lengths. A length of 0 or less has no
    // logarithm and is drawn with no length.
    const float rows[][3] = {{50, 0, 4.912023f}, {0.5f, 0, 0.3068528f}, {0, 0, 0},
                             {-20, 0, 0},        {50, 1, 50},           {-20, 1, -20}};
    for (const auto &[length, scale, drawnLength] : rows)
        EXPECT_FLOAT_EQ(scaleLength(length, int(scale)), drawnLength) << length << ' ' << scale;

    Section s = test::makeSection({"50", "100"}, {{"0", "16"}});
    s.setScale(0);
    RecordingCanvas canvas;
    drawSectionDiagram(canvas, s, 1, LengthUnit::Millimetre);
    const auto lines = flanges(canvas);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[1].x2, 4.912023f + 5.605170f);
    EXPECT_EQ(canvas.texts[1].text, "100");
}

} // namespace
} // namespace corvane
