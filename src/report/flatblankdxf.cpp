#include "report/flatblankdxf.h"

#include "ground/numbers.h"

#include <QString>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

// A DXF file is a list of pairs: a group code on one line, its value on the next.
class Dxf
{
public:
    Dxf &operator()(int code, const QString &value)
    {
        m_text += QString::number(code) + QLatin1Char('\n') + value + QLatin1Char('\n');
        return *this;
    }
    Dxf &operator()(int code, const char *value)
    {
        return (*this)(code, QString::fromLatin1(value));
    }
    Dxf &operator()(int code, int value) { return (*this)(code, QString::number(value)); }
    Dxf &operator()(int code, double value)
    {
        // Six decimals, and never a "-0.000000".
        const double shown = std::fabs(value) < 5e-7 ? 0.0 : value;
        return (*this)(code, QString::number(shown, 'f', 6));
    }
    // A point: x, y and z under the group codes 10, 20 and 30 plus offset.
    Dxf &point(double x, double y, int offset = 0)
    {
        return (*this)(10 + offset, x)(20 + offset, y)(30 + offset, 0.0);
    }
    QByteArray bytes() const { return m_text.toUtf8(); }

private:
    QString m_text;
};

const char *const kOutline = "OUTLINE";
const char *const kBendUp = "BEND_UP";
const char *const kBendDown = "BEND_DOWN";
const char *const kBendText = "BEND_TEXT";
const char *const kBendMarks = "BEND_MARKS";

void header(Dxf &dxf, double length, double width)
{
    dxf(0, "SECTION")(2, "HEADER");
    dxf(9, "$ACADVER")(1, "AC1009");
    dxf(9, "$INSUNITS")(70, 4); // millimetres
    dxf(9, "$EXTMIN").point(0, 0);
    dxf(9, "$EXTMAX").point(length, width);
    dxf(0, "ENDSEC");
}

void tables(Dxf &dxf)
{
    dxf(0, "SECTION")(2, "TABLES");
    dxf(0, "TABLE")(2, "LTYPE")(70, 2);
    dxf(0, "LTYPE")(2, "CONTINUOUS")(70, 0)(3, "Solid line")(72, 65)(73, 0)(40, 0.0);
    // Dashes of 6 mm with gaps of 3 mm.
    dxf(0, "LTYPE")(2, "DASHED")(70, 0)(3, "Dashed __ __ __")(72, 65)(73, 2)(40, 9.0)(49, 6.0)(
        49, -3.0);
    dxf(0, "ENDTAB");
    struct Layer
    {
        const char *name;
        int colour;
        const char *lineType;
    };
    const Layer layers[] = {{"0", 7, "CONTINUOUS"},       {kOutline, 7, "CONTINUOUS"},
                            {kBendUp, 1, "CONTINUOUS"},   {kBendDown, 5, "DASHED"},
                            {kBendText, 3, "CONTINUOUS"}, {kBendMarks, 6, "CONTINUOUS"}};
    dxf(0, "TABLE")(2, "LAYER")(70, int(std::size(layers)));
    for (const Layer &layer : layers)
        dxf(0, "LAYER")(2, layer.name)(70, 0)(62, layer.colour)(6, layer.lineType);
    dxf(0, "ENDTAB");
    dxf(0, "TABLE")(2, "STYLE")(70, 1);
    dxf(0, "STYLE")(2, "STANDARD")(70, 0)(40, 0.0)(41, 1.0)(50, 0.0)(71, 0)(42, 2.5)(3, "txt")(4,
                                                                                               "");
    dxf(0, "ENDTAB");
    dxf(0, "ENDSEC");
}

void line(Dxf &dxf, const char *layer, double x1, double y1, double x2, double y2)
{
    dxf(0, "LINE")(8, layer).point(x1, y1).point(x2, y2, 1);
}

// A text that runs up along a bend line, its glyphs left of x.
void text(Dxf &dxf, double x, double y, double height, const QString &value)
{
    dxf(0, "TEXT")(8, kBendText).point(x, y)(40, height)(1, value)(50, 90.0);
}

} // namespace

QByteArray flatBlankDxf(const BendCalculation &c, float width)
{
    const double length = c.unfoldedTotal;
    const double w = width;
    Dxf dxf;
    header(dxf, length, w);
    tables(dxf);
    dxf(0, "SECTION")(2, "BLOCKS")(0, "ENDSEC");
    dxf(0, "SECTION")(2, "ENTITIES");

    dxf(0, "POLYLINE")(8, kOutline)(66, 1).point(0, 0)(70, 1); // closed
    for (const auto &[x, y] : {std::pair(0.0, 0.0), {length, 0.0}, {length, w}, {0.0, w}})
        dxf(0, "VERTEX")(8, kOutline).point(x, y);
    dxf(0, "SEQEND")(8, kOutline);

    // Texts small enough that both labels of a bend fit along the width; marks a fifth of it at
    // most.
    const double textHeight = std::min(3.5, w / 10);
    const double mark = std::min(3.0, w / 5);
    for (int i = 0; i < c.lastFlange; ++i) {
        const BendValues &bend = c.bends[i];
        if (bend.enteredAngle == 0)
            continue;
        const double x = c.distanceFromLeft(i + 1);
        const bool up = bend.enteredAngle > 0;
        line(dxf, up ? kBendUp : kBendDown, x, 0, x, w);
        line(dxf, kBendMarks, x, 0, x, mark);
        line(dxf, kBendMarks, x, w - mark, x, w);
        const double beside = x - textHeight / 4;
        text(dxf, beside, mark + textHeight / 2, textHeight,
             (up ? QStringLiteral("Up ") : QStringLiteral("Dn ")) +
                 doubleText(std::fabs(bend.enteredAngle)));
        text(dxf, beside, w / 2 + textHeight / 2, textHeight,
             QStringLiteral("V ") + singleText(bend.vee));
    }
    dxf(0, "ENDSEC")(0, "EOF");
    return dxf.bytes();
}

} // namespace corvane
