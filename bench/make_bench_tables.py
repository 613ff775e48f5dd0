#!/usr/bin/env python3
"""Writes N address rows as .xlsx (openpyxl), .ods (odfpy) and the semicolon file of the
positional import, the same rows in each. Usage: make_bench_tables.py N OUTDIR"""
import os
import sys

n = int(sys.argv[1])
out = sys.argv[2]
os.makedirs(out, exist_ok=True)
header = ["Firma", "Nachname", "Vorname", "Straße", "PLZ", "Ort"]


def row(i):
    return ["Müller & Söhne %d" % i, "Müller", "Jürgen", "Hauptstraße %d" % (i % 300 + 1),
            "%05d" % (10000 + i % 90000), "Köln"]


import openpyxl
wb = openpyxl.Workbook(write_only=True)
ws = wb.create_sheet("Adressen")
ws.append(header)
for i in range(n):
    ws.append(row(i))
wb.save(os.path.join(out, "adressen.xlsx"))

from odf.opendocument import OpenDocumentSpreadsheet
from odf.table import Table, TableRow, TableCell
from odf.text import P
doc = OpenDocumentSpreadsheet()
table = Table(name="Adressen")
for values in [header] + [row(i) for i in range(n)]:
    tr = TableRow()
    for v in values:
        c = TableCell(valuetype="string")
        c.addElement(P(text=v))
        tr.addElement(c)
    table.addElement(tr)
doc.spreadsheet.addElement(table)
doc.save(os.path.join(out, "adressen.ods"))

with open(os.path.join(out, "adressen.csv"), "wb") as f:
    f.write((";".join(header) + "\r\n").encode("cp1252"))
    for i in range(n):
        f.write((";".join(row(i)) + "\r\n").encode("cp1252"))
