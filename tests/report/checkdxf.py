#!/usr/bin/python3
"""Reads a flat blank's DXF file back with ezdxf and checks it against what it should show.

    checkdxf.py FILE U W [X:up|down:LABEL:VEE]...

U and W are the blank's length and width; each further argument is one bend line: its distance
from the left end, its direction, its label ("Up 90") and its vee label ("V 16"). Prints "ok", or
one line per thing found wrong.
"""
import sys

import ezdxf

TOLERANCE = 0.001


def near(a, b, tolerance=TOLERANCE):
    return abs(a - b) <= tolerance


def main():
    path, length, width = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
    bends = []
    for arg in sys.argv[4:]:
        x, direction, label, vee = arg.split(':')
        bends.append((float(x), direction, label, vee))
    wrong = []
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    wrong += ['audit: %s' % error.message for error in auditor.errors]
    if doc.dxfversion != 'AC1009':
        wrong.append('version %s' % doc.dxfversion)
    if doc.header.get('$INSUNITS') != 4:
        wrong.append('$INSUNITS %s' % doc.header.get('$INSUNITS'))
    if doc.layers.get('BEND_DOWN').dxf.linetype != 'DASHED' or 'DASHED' not in doc.linetypes:
        wrong.append('BEND_DOWN is not dashed')
    if doc.layers.get('BEND_UP').dxf.linetype != 'CONTINUOUS':
        wrong.append('BEND_UP is not continuous')

    msp = doc.modelspace()
    outlines = [e for e in msp if e.dxftype() == 'POLYLINE' and e.dxf.layer == 'OUTLINE']
    corners = sorted((round(v.dxf.location.x, 3), round(v.dxf.location.y, 3))
                     for v in outlines[0].vertices) if len(outlines) == 1 else []
    expected = sorted((round(x, 3), round(y, 3))
                      for x, y in ((0, 0), (length, 0), (length, width), (0, width)))
    if len(outlines) != 1 or not outlines[0].is_closed or corners != expected:
        wrong.append('outline %s, not a closed %s x %s' % (corners, length, width))

    lines = {layer: [e for e in msp.query('LINE[layer=="%s"]' % layer)]
             for layer in ('BEND_UP', 'BEND_DOWN', 'BEND_MARKS')}
    texts = list(msp.query('TEXT[layer=="BEND_TEXT"]'))
    for layer in ('BEND_UP', 'BEND_DOWN'):
        count = sum(1 for b in bends if ('BEND_' + b[1].upper()) == layer)
        if len(lines[layer]) != count:
            wrong.append('%d lines on %s, not %d' % (len(lines[layer]), layer, count))
    for x, direction, label, vee in bends:
        layer = 'BEND_' + direction.upper()
        across = [e for e in lines[layer] if near(e.dxf.start.x, x) and near(e.dxf.end.x, x)
                  and near(min(e.dxf.start.y, e.dxf.end.y), 0)
                  and near(max(e.dxf.start.y, e.dxf.end.y), width)]
        if len(across) != 1:
            wrong.append('no line across the blank at %s on %s' % (x, layer))
        marks = [e for e in lines['BEND_MARKS'] if near(e.dxf.start.x, x) and near(e.dxf.end.x, x)]
        ends = sorted(min(e.dxf.start.y, e.dxf.end.y) for e in marks)
        if len(marks) != 2 or not near(ends[0], 0) or \
                not near(max(max(e.dxf.start.y, e.dxf.end.y) for e in marks), width):
            wrong.append('no marks at both edges at %s' % x)
        for words in (label, vee):
            beside = [t for t in texts if t.dxf.text == words
                      and abs(t.dxf.insert.x - x) <= t.dxf.height
                      and 0 <= t.dxf.insert.y <= width]
            if len(beside) != 1:
                wrong.append('no text "%s" beside the line at %s' % (words, x))
    if len(texts) != 2 * len(bends):
        wrong.append('%d texts for %d bends' % (len(texts), len(bends)))
    print('\n'.join(wrong) if wrong else 'ok')


if __name__ == '__main__':
    main()
