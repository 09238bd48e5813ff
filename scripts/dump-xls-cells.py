#!/usr/bin/python3
"""Writes the cells of one sheet of an .xls workbook as python3-xlrd reads them, as JSON.

    /usr/bin/python3 scripts/dump-xls-cells.py workbook.xls SheetName cells.json

The JSON is what the workbook reader's tests expect of the same workbook:
    {"sheet": "BendTbl", "cells": [[row, column, kind, value], ...]}
by row and then column, 0-based; kind is "number" (value: the shortest text that reads back as
the same double), "text" (value: the text) or "empty" (an error value; no value). Booleans are the
numbers 1 and 0, as the reader gives them; blank cells are left out.
"""
import json
import sys

import xlrd


def cells_of(path, sheet_name):
    book = xlrd.open_workbook(path, on_demand=True)
    names = [n for n in book.sheet_names() if n.lower() == sheet_name.lower()]
    sheet = book.sheet_by_name(names[0])
    cells = []
    for r in range(sheet.nrows):
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                continue
            if cell.ctype in (xlrd.XL_CELL_NUMBER, xlrd.XL_CELL_DATE, xlrd.XL_CELL_BOOLEAN):
                cells.append([r, c, "number", repr(float(cell.value))])
            elif cell.ctype == xlrd.XL_CELL_TEXT:
                cells.append([r, c, "text", cell.value])
            else:
                cells.append([r, c, "empty"])
    return {"sheet": sheet.name, "cells": cells}


def main():
    path, sheet_name, target = sys.argv[1:4]
    content = cells_of(path, sheet_name)
    with open(target, "w", encoding="utf-8") as f:
        f.write('{"sheet": %s, "cells": [\n' % json.dumps(content["sheet"], ensure_ascii=False))
        f.write(",\n".join(json.dumps(cell, ensure_ascii=False) for cell in content["cells"]))
        f.write("\n]}\n")


if __name__ == "__main__":
    main()
