#!/usr/bin/python3
"""Writes a bend table of ROWS records for the benchmarks, with python3-xlwt:

    /usr/bin/python3 bench/make-bench-workbook.py ROWS target.xls

Records cycle through 50 materials, 20 thicknesses and vees so that every material, thickness
and vee is one record; the first carries a version.
"""
import sys

import xlwt


def main():
    rows, target = int(sys.argv[1]), sys.argv[2]
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("BendTbl")
    header = ["material", "thickness", "vee", "standard", "k_factor", "internal_radius",
              "version"]
    for c, name in enumerate(header):
        sheet.write(0, c, name)
    for i in range(rows):
        thickness = 0.5 + (i // 50) % 20 * 0.25
        vee = 4 + i // 1000
        sheet.write(i + 1, 0, "MAT%02d" % (i % 50))
        sheet.write(i + 1, 1, thickness)
        sheet.write(i + 1, 2, vee)
        if i % 3 == 0:
            sheet.write(i + 1, 3, "YES")
        sheet.write(i + 1, 4, round(0.33 + (i % 17) * 0.01, 2))
        sheet.write(i + 1, 5, round(vee * 0.16, 2))
        if i == 0:
            sheet.write(i + 1, 6, "2026.12")
    book.save(target)


if __name__ == "__main__":
    main()
