#!/usr/bin/python3
"""Makes data/BendTbl.xls, the default bend table, from data/bendtable.csv.

The CSV is the source to edit; this writes it as the sheet "BendTbl" of an Excel 97-2003
workbook. Cells of the columns material, standard and version are texts; every other cell that
reads as a number is a number, and an empty cell stays empty. Needs python3-xlwt:

    /usr/bin/python3 scripts/make-bendtable.py [source.csv] [target.xls]
"""
import csv
import os
import sys

import xlwt

TEXT_COLUMNS = {"material", "standard", "version"}


def cell_value(column, text):
    if text == "":
        return None
    if column.lower() in TEXT_COLUMNS:
        return text
    try:
        return float(text)
    except ValueError:
        return text


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "bendtable.csv")
    target = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "data", "BendTbl.xls")
    with open(source, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    header = rows[0]
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("BendTbl")
    bold = xlwt.easyxf("font: bold on")
    for c, name in enumerate(header):
        sheet.write(0, c, name, bold)
        sheet.col(c).width = 256 * max(10, len(name) + 2)
    for r, row in enumerate(rows[1:], start=1):
        for c, text in enumerate(row):
            value = cell_value(header[c], text)
            if value is not None:
                sheet.write(r, c, value)
    book.save(target)


if __name__ == "__main__":
    main()
