#!/usr/bin/python3
"""Makes the workbooks that the bend table tests read, and what python3-xlrd reads in them.

    /usr/bin/python3 scripts/make-test-workbooks.py

Writes into tests/bendtable/data/:
  basic-xlwt.xls         a bend table with numbers of every kind (RK and NUMBER records),
                         texts in one and two bytes per character, an empty row and a row
                         holding only a note
  mixed-xlwt.xls         columns whose cells mix numbers and texts
  headers-only-xlwt.xls  the sheet BendTbl with its header row only, beside a sheet with data
  sheets-xlwt.xls        four sheets, BendTbl the third, "BendTbl (2)" before it
  sst-xlwt.xls           800 distinct texts, long ones among them: the shared string table
                         runs over many CONTINUE records, with texts split across them
  formulas-lo.xls        LibreOffice: formulas whose cached results are numbers, texts, booleans,
                         errors and the empty text, a text result longer than one record; a
                         sheet "Notes" before BendTbl; runs of numbers (MULRK)
  strings-lo.xls         LibreOffice: many texts, in one and two bytes per character
  findings-lo.xls        LibreOffice: a bend table with one of each kind of finding of the table
                         check, numbers as numbers
  password-xlwt.xls      basic-xlwt.xls with a FILEPASS record, as an encrypted workbook has
and for each workbook but the last a <name>.json of its BendTbl cells (scripts/dump-xls-cells.py).
Also writes tests/bendtable/data/default-bendtbl.json, the cells of data/BendTbl.xls.

Needs python3-xlwt, python3-xlrd and LibreOffice (soffice).
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

import xlwt

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "bendtable", "data")
HEADER = ["material", "thickness", "vee", "standard", "k_factor", "internal_radius", "version"]


def save_xlwt(name, sheets):
    """sheets: list of (sheet name, rows); a row is a list of cell values, None for no cell."""
    book = xlwt.Workbook(encoding="utf-8")
    for sheet_name, rows in sheets:
        sheet = book.add_sheet(sheet_name)
        for r, row in enumerate(rows):
            for c, value in enumerate(row):
                if value is not None:
                    sheet.write(r, c, value)
    book.save(os.path.join(OUT, name))


def basic():
    rows = [
        HEADER + ["notes"],
        ["MS", 1.5, 10, "YES", 0.43, 1.6, "2026.12", "cold-rolled"],
        ["MS", 1.5, 8, None, 0.38, 1.28, None, "Stahl \u2013 kaltgewalzt \u00bd"],
        ["SS304", 2, 16, "YES", 0.45, 3.36, None, "\u4e0d\u9508\u94a2"],
        [],
        ["AL5052", 0.8, 6, "yes", 0.36, 0.84],
        [None, None, None, None, None, None, None, "a row with a note only"],
        ["ms", 3, 25, "YES", 0.43, 4],
    ]
    # Numbers that xlwt writes as RK (30-bit integers, hundredths, short doubles) and as NUMBER.
    numbers = [0, -1, 536870911, -536870912, 536870912, 12.34, -0.05, 0.1, 1e-300, 1.5e300,
               123456789012.0, 2.5, -2.5, 1 / 3.0, 0.30000000000000004]
    for i, value in enumerate(numbers):
        rows.append(["TEST", 1, i + 1, None, value, value * 2, None, "n%d" % i])
    save_xlwt("basic-xlwt.xls", [("BendTbl", rows)])


def mixed():
    rows = [
        ["Material", "THICKNESS", "Vee", "Standard", "K_Factor", "Internal_Radius", "Version"],
        ["MS", 1.5, 10, "YES", 0.43, 1.6, 7],
        ["MS", "2", 12, 1, "0.4", 1.92],
        ["MS", "2.5 mm", 16, 0, "n/a", 2.56],
        ["MS", 1e-05, 20, "", 0.5, " 3.2 "],
        [42, 1, 6, None, 0.38, 0.96],
    ]
    save_xlwt("mixed-xlwt.xls", [("BendTbl", rows)])


def headers_only():
    save_xlwt("headers-only-xlwt.xls", [
        ("BendTbl", [HEADER]),
        ("Other", [HEADER, ["MS", 1, 6, "YES", 0.38, 0.96, "x"]]),
    ])


def sheets():
    save_xlwt("sheets-xlwt.xls", [
        ("Notes", [["Bend table of the press brake"], ["see BendTbl"]]),
        ("BendTbl (2)", [HEADER, ["OLD", 1, 6, "YES", 0.4, 1, "2019"]]),
        ("BendTbl", [HEADER, ["MS", 1, 6, "YES", 0.38, 0.96, "2026.12"],
                     ["MS", 1, 8, None, 0.43, 1.28]]),
        ("Summary", [[1, 2, 3]]),
    ])


def shared_strings():
    rows = [HEADER + ["note"]]
    for i in range(800):
        # Long texts now and then, so that texts run over from one record into the next; some
        # with characters beyond one byte, so that the width changes at a split.
        if i % 37 == 0:
            note = ("long text %d " % i) * 60
        elif i % 41 == 0:
            note = ("\u0394\u03b5\u03bb\u03c4\u03b1 %d " % i) * 40
        else:
            note = "note %04d" % i
        material = "MAT%04d" % (i % 300) if i % 3 else "\u00c4L-%d" % (i % 50)
        rows.append([material, 1 + (i % 7) * 0.5, 6 + i % 5, "YES" if i % 4 == 0 else None,
                     0.4, 1.0 + i / 100.0, None, note])
    save_xlwt("sst-xlwt.xls", [("BendTbl", rows)])


def fods_cell(value):
    if value is None:
        return "<table:table-cell/>"
    if isinstance(value, str) and value.startswith("="):
        return '<table:table-cell table:formula="of:%s"/>' % escape(value, {'"': "&quot;"})
    if isinstance(value, str):
        return ('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
                "</table:table-cell>" % escape(value))
    return '<table:table-cell office:value-type="float" office:value="%r"/>' % value


def save_libreoffice(name, sheets, work):
    body = []
    for sheet_name, rows in sheets:
        body.append('<table:table table:name="%s">' % escape(sheet_name))
        for row in rows:
            body.append("<table:table-row>%s</table:table-row>"
                        % "".join(fods_cell(v) for v in row))
        body.append("</table:table>")
    source = os.path.join(work, os.path.splitext(name)[0] + ".fods")
    with open(source, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<office:document'
                ' xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'
                ' xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"'
                ' xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"'
                ' xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"'
                ' office:version="1.2"'
                ' office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
                "<office:body><office:spreadsheet>%s</office:spreadsheet></office:body>"
                "</office:document>\n" % "".join(body))
    subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + work + "/profile",
                    "--convert-to", "xls:MS Excel 97", "--outdir", work, source],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shutil.copyfile(os.path.join(work, os.path.splitext(name)[0] + ".xls"),
                    os.path.join(OUT, name))


def formulas(work):
    rows = [
        HEADER + ["note"],
        ["MS", 2, 16, "YES", 0.43, "=[.C2]*0.16", "2026.12", "=CONCATENATE(\"M\";\"S\")"],
        ["=LOWER(\"SS304\")", "=1+1", "=[.C2]", "=\"\"", "=0.45", "=1/0", None, "=1>0"],
        ["AL5052", 1, 6, None, "=NA()", 0.84, None, "=REPT(\"xy\";5000)"],
        [1, 2, 3, 4, 5, 6, 7, "=ISBLANK([.G4])"],
        [0.5, 0.25, 1.125, -4, 100000, 3, 2.75, "=\"text with \u00e9 and \u20ac\""],
    ]
    save_libreoffice("formulas-lo.xls", [("Notes", [["notes"], [1]]), ("BendTbl", rows)], work)


def libreoffice_strings(work):
    rows = [HEADER]
    for i in range(500):
        note = ("Zeile %d \u00fc\u00f6\u00e4 " % i) * (1 + i % 5)
        if i % 50 == 0:
            note = ("\u6750\u6599 %d " % i) * 200
        rows.append(["M%03d" % (i % 400), 1 + i % 4, 6 + i % 3, "YES" if i % 3 == 0 else None,
                     0.4, 1.5, note])
    save_libreoffice("strings-lo.xls", [("BendTbl", rows)], work)


def findings(work):
    rows = [
        HEADER,
        ["MS", 2, 16, "YES", 0.43, 2.56],
        ["MS", 2, 16, None, 0.40, 2.5],
        ["MS", 3, 25, None, None, "x"],
        [],
        ["AL", 0, -4, "YES", 1.5, -1],
        ["AL", 1, 8, "YES", 0.4, 1],
        ["al", 1, 10, "yes", 0.4, 1],
        [" AL", 4, 10, "YES", 0.4, 1],
        [None, 2, 16, None, 0.4],
    ]
    save_libreoffice("findings-lo.xls", [("BendTbl", rows)], work)


def password():
    """basic-xlwt.xls as an encrypted workbook announces itself: its WRITEACCESS record (116
    bytes) becomes a FILEPASS record of RC4 encryption and a shorter WRITEACCESS, 116 bytes in
    all, so that nothing else in the file moves."""
    with open(os.path.join(OUT, "basic-xlwt.xls"), "rb") as f:
        data = bytearray(f.read())
    marker = b"\xe2\x00\x00\x00\x5c\x00\x70\x00"
    at = data.find(marker)
    if at < 0 or data.find(marker, at + 1) >= 0:
        sys.exit("basic-xlwt.xls: no single WRITEACCESS record to replace")
    at += 4
    filepass = struct.pack("<HHHHH", 0x002F, 54, 1, 1, 1) + bytes(range(48))
    writeaccess = struct.pack("<HH", 0x005C, 54) + b" " * 54
    data[at:at + 116] = filepass + writeaccess
    with open(os.path.join(OUT, "password-xlwt.xls"), "wb") as f:
        f.write(data)


def dump(path, target):
    subprocess.run(["/usr/bin/python3", os.path.join(ROOT, "scripts", "dump-xls-cells.py"),
                    path, "BendTbl", target], check=True)


def main():
    os.makedirs(OUT, exist_ok=True)
    basic()
    mixed()
    headers_only()
    sheets()
    shared_strings()
    with tempfile.TemporaryDirectory() as work:
        formulas(work)
        libreoffice_strings(work)
        findings(work)
    password()
    for name in sorted(os.listdir(OUT)):
        if name.endswith(".xls") and not name.startswith("password"):
            dump(os.path.join(OUT, name), os.path.join(OUT, name[:-4] + ".json"))
    dump(os.path.join(ROOT, "data", "BendTbl.xls"), os.path.join(OUT, "default-bendtbl.json"))


if __name__ == "__main__":
    main()
