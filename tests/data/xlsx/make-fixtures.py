#!/usr/bin/python3
"""Writes the workbook fixtures of the .xlsx reader tests with openpyxl
(Debian python3-openpyxl), a spreadsheet writer independent of ours.

Run from this folder: /usr/bin/python3 make-fixtures.py
"""
import datetime
import os
import re
import shutil
import zipfile

import openpyxl

wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Measurements"
ws.append(["Part", "Width", "Made", "", "Passed", "Double", "Lot", "Shift start"])
rows = [
    ("A-1", 12.5, datetime.date(2024, 3, 1), True, 7, datetime.datetime(2024, 3, 1, 6, 30)),
    ("A-2", 12.75, datetime.date(2024, 3, 2), False, 7, datetime.datetime(2024, 3, 2, 14, 0)),
    ("Zürich", 13, datetime.date(1999, 12, 31), True, 8, datetime.datetime(1900, 1, 1, 0, 0)),
    ("A-1", 0.1, datetime.date(1900, 3, 1), None, 8, None),
]
for i, (part, width, made, passed, lot, start) in enumerate(rows, start=2):
    ws.cell(i, 1, part)
    ws.cell(i, 2, width)
    ws.cell(i, 3, made).number_format = "yyyy-mm-dd"
    if passed is not None:
        ws.cell(i, 5, passed)
    ws.cell(i, 6, f"=B{i}*2")
    ws.cell(i, 7, lot)
    if start is not None:
        ws.cell(i, 8, start).number_format = "yyyy-mm-dd hh:mm"
# Lot 7 covers rows 2-3 as one merged cell; row 5's lot likewise spans rows 4-5.
ws.merge_cells("G2:G3")
ws.merge_cells("G4:G5")
ws["B6"] = 1.5
ws["B6"].number_format = "0.00"

other = wb.create_sheet("Other")
other.append(["Weight"])
for w in (1.25, 2.5):
    other.append([w])

wb.save("openpyxl-mixed.xlsx")

# openpyxl stores formulas without their values and every text inline. Give
# each formula the value a spreadsheet program would have cached (<v> after
# <f>), and move the first sheet's texts into a shared-strings part as most
# spreadsheet programs write them.
widths = {2: 12.5, 3: 12.75, 4: 13, 5: 0.1}
shutil.copy("openpyxl-mixed.xlsx", "tmp.xlsx")
src = zipfile.ZipFile("tmp.xlsx")
out = zipfile.ZipFile("openpyxl-mixed.xlsx", "w", zipfile.ZIP_DEFLATED)
for item in src.infolist():
    data = src.read(item.filename)
    if item.filename == "xl/worksheets/sheet1.xml":
        text = data.decode()
        text = re.sub(r'(<c r="F(\d+)"[^>]*>)<f>([^<]*)</f>(<v\s*/>|<v></v>)?',
                      lambda m: f'{m.group(1)}<f>{m.group(3)}</f><v>{widths[int(m.group(2))] * 2!r}</v>', text)
        shared = []

        def share(m):
            if m.group(3) not in shared:
                shared.append(m.group(3))
            return f'<c r="{m.group(1)}"{m.group(2)} t="s"><v>{shared.index(m.group(3))}</v></c>'

        text = re.sub(r'<c r="([A-Z]+\d+)"([^>]*?) t="inlineStr"><is><t>([^<]*)</t></is></c>', share, text)
        data = text.encode()
        items = "".join(f"<si><t>{t}</t></si>" for t in shared)
        out.writestr("xl/sharedStrings.xml",
                     '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                     f'count="{len(shared)}" uniqueCount="{len(shared)}">{items}</sst>')
    elif item.filename == "xl/_rels/workbook.xml.rels":
        data = data.replace(b"</Relationships>",
                            b'<Relationship Id="rIdSst" Target="sharedStrings.xml" Type="http://schemas.'
                            b'openxmlformats.org/officeDocument/2006/relationships/sharedStrings"/></Relationships>')
    elif item.filename == "[Content_Types].xml":
        data = data.replace(b"</Types>",
                            b'<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-'
                            b'officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
    out.writestr(item, data)
out.close()
src.close()
os.remove("tmp.xlsx")
