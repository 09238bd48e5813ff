#!/usr/bin/python3
"""Makes small workbooks for the bend table fuzzer's seeds, from the two spreadsheet writers
that operators use: python3-xlwt and LibreOffice (soffice).

    /usr/bin/python3 scripts/make-fuzz-workbooks.py OUTDIR

The shared string tables of both run over into CONTINUE records, one text changing from one byte
per character to two at the split, while the files stay a tenth of the size of the test
fixtures that do the same (tests/bendtable/data/sst-xlwt.xls, strings-lo.xls).
"""
import os
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

import xlwt

HEADER = ["material", "thickness", "vee", "standard", "k_factor", "internal_radius", "version",
          "note"]


def rows():
    out = [HEADER]
    for i in range(24):
        if i == 3:
            # Long enough that the table runs over 8224 bytes: the record splits inside it.
            note = "long note %d " % i * 700
        elif i == 4:
            note = "\u0394\u03b5\u03bb\u03c4\u03b1 %d " % i * 300
        else:
            note = "note %d" % i
        material = ["MS", "SS304", "AL5052", "\u00c4L-99"][i % 4]
        out.append([material, 1 + (i % 3) * 0.5, 6 + 2 * (i % 4), "YES" if i % 4 == 0 else None,
                    0.33 + i / 100.0, 1.5, "2026.%d" % i if i == 0 else None, note])
    return out


def save_xlwt(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("BendTbl")
    for r, row in enumerate(rows()):
        for c, value in enumerate(row):
            if value is not None:
                sheet.write(r, c, value)
    book.save(path)


def fods_cell(value):
    if value is None:
        return "<table:table-cell/>"
    if isinstance(value, str):
        return ('<table:table-cell office:value-type="string"><text:p>%s</text:p>'
                "</table:table-cell>" % escape(value))
    return '<table:table-cell office:value-type="float" office:value="%r"/>' % value


def save_libreoffice(path, work):
    table = "".join("<table:table-row>%s</table:table-row>" % "".join(fods_cell(v) for v in row)
                    for row in rows())
    source = os.path.join(work, "seed.fods")
    with open(source, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<office:document'
                ' xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"'
                ' xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"'
                ' xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"'
                ' office:version="1.2"'
                ' office:mimetype="application/vnd.oasis.opendocument.spreadsheet">'
                '<office:body><office:spreadsheet><table:table table:name="BendTbl">%s'
                "</table:table></office:spreadsheet></office:body></office:document>\n" % table)
    subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + work + "/profile",
                    "--convert-to", "xls:MS Excel 97", "--outdir", work, source],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shutil.copyfile(os.path.join(work, "seed.xls"), path)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    save_xlwt(os.path.join(out, "continued-xlwt.xls"))
    with tempfile.TemporaryDirectory() as work:
        save_libreoffice(os.path.join(out, "continued-lo.xls"), work)


if __name__ == "__main__":
    main()
