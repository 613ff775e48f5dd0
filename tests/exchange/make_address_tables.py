#!/usr/bin/env python3
"""Writes the address tables the table import tests read, made by the real writers:
openpyxl (.xlsx), odfpy (.ods), xlwt (.xls), and CSV files as LibreOffice, Thunderbird
and Outlook save them.
Usage: make_address_tables.py OUTDIR
       make_address_tables.py --rows ROWS.json OUT.ods OUT.xlsx  (rows as every-cell-text tables)"""
import json
import os
import sys


def rows_as_tables(rows_file, ods_file, xlsx_file):
    """Writes the rows of a JSON list (the header first) as .ods and .xlsx, every cell text."""
    import openpyxl
    from odf.opendocument import OpenDocumentSpreadsheet
    from odf.table import Table, TableRow, TableCell
    from odf.text import P
    rows = json.load(open(rows_file, encoding="utf-8"))
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Adressen"
    for r in rows:
        ws.append(r)
    wb.save(xlsx_file)
    doc = OpenDocumentSpreadsheet()
    table = Table(name="Adressen")
    for r in rows:
        tr = TableRow()
        for v in r:
            c = TableCell(valuetype="string")
            for line in v.split("\n"):  # a line break in a cell is a paragraph of its own
                c.addElement(P(text=line))
            tr.addElement(c)
        table.addElement(tr)
    doc.spreadsheet.addElement(table)
    doc.save(ods_file)


if len(sys.argv) == 5 and sys.argv[1] == "--rows":
    rows_as_tables(*sys.argv[2:])
    sys.exit(0)

out = sys.argv[1]
os.makedirs(out, exist_ok=True)

CLUB = ["Name", "Vorname", "Straße", "PLZ", "Ort"]
CLUB_ROWS = [
    ["Müller", "Jürgen", "Hauptstraße 5", 1067, "Dresden"],
    ["Öztürk", "Ömer", "Schloßstraße 5", 70173, "Stuttgart"],
]


def xlsx():
    import openpyxl
    wb = openpyxl.Workbook()
    notes = wb.active
    notes.title = "Hinweise"
    notes.append(["Mitgliederliste, Stand 2026"])
    ws = wb.create_sheet("Mitglieder")
    ws.append(CLUB)
    ws.append(CLUB_ROWS[0])        # 1067 as a number without a format
    ws.append([])                  # an empty row
    ws.append(CLUB_ROWS[1])
    ws.append(["Schulz", "Eva", "Ring 3", 1307, "Dresden"])
    ws["D5"].number_format = "00000"  # a format says the digits: 01307
    wb.save(os.path.join(out, "verein.xlsx"))


def ods():
    from odf.opendocument import OpenDocumentSpreadsheet
    from odf.table import Table, TableRow, TableCell
    from odf.text import P
    doc = OpenDocumentSpreadsheet()
    table = Table(name="Mitglieder")

    def row(values):
        tr = TableRow()
        for v in values:
            if v is None:
                tr.addElement(TableCell())
            elif isinstance(v, int):
                c = TableCell(valuetype="float", value=v)
                c.addElement(P(text=str(v)))
                tr.addElement(c)
            else:
                c = TableCell(valuetype="string")
                c.addElement(P(text=v))
                tr.addElement(c)
        table.addElement(tr)

    # An empty column between Ort and Land, as lists often have.
    row(["Firma", "Anrede", "Vorname", "Nachname", "Straße", "PLZ", "Ort", None, "Land", "Telefon", "E-Mail"])
    row(["Muster GmbH", "Herr", "Max", "Mustermann", "Allee 1", 1067, "Dresden", None, "", "0351 1", "m@example.org"])
    row([None] * 3)
    row([None, "Frau", "Anna", "Huber", "Ring 3", 1010, "Wien", None, "Österreich", "", ""])
    doc.spreadsheet.addElement(table)
    doc.save(os.path.join(out, "kunden.ods"))


def xls():
    import xlwt
    wb = xlwt.Workbook()
    ws = wb.add_sheet("Liste")
    for c, h in enumerate(CLUB):
        ws.write(0, c, h)
    for r, values in enumerate(CLUB_ROWS, start=1):
        for c, v in enumerate(values):
            ws.write(r, c, v)
    wb.save(os.path.join(out, "verein.xls"))


def csv_files():
    # Thunderbird's English export: UTF-8, commas, quoted where needed.
    tb = ("First Name,Last Name,Display Name,Primary Email,Work Phone,Home Phone,Mobile Number,"
          "Home Address,Home Address 2,Home City,Home State,Home ZipCode,Home Country,"
          "Work Address,Work City,Work ZipCode,Organization,Notes\r\n"
          "Max,Müller,Max Müller,max@example.org,,030 1,0170 2,\"Hauptstraße 5\",Hinterhaus,Berlin,,10115,"
          "Germany,,,,Muster AG,\"zwei\nZeilen\"\r\n"
          "John,Smith,John Smith,,,,,1 Main St,,Boston,MA,02108,USA,,,,,\r\n")
    with open(os.path.join(out, "thunderbird.csv"), "wb") as f:
        f.write(tb.encode("utf-8"))
    # Outlook's German export: Windows-1252, semicolons, every field quoted.
    ol = ['"Anrede";"Vorname";"Nachname";"Firma";"Abteilung";"Straße geschäftlich";"Ort geschäftlich";'
          '"Postleitzahl geschäftlich";"Land/Region geschäftlich";"Telefon geschäftlich";"Fax geschäftlich";'
          '"Mobiltelefon";"E-Mail-Adresse";"Notizen"',
          '"Frau";"Erika";"Weiß";"Bäckerei Weiß";"Verkauf";"Marktplatz 1";"Köln";"50667";"Deutschland";'
          '"0221 1";"0221 2";"0171 3";"erika@example.org";"Stammkundin"']
    with open(os.path.join(out, "outlook.csv"), "wb") as f:
        f.write("\r\n".join(ol).encode("cp1252") + b"\r\n")
    # A LibreOffice list saved as CSV: UTF-8, semicolons, as a new user tries it.
    lo = ("Firma;Anrede;Vorname;Nachname;Straße;PLZ;Ort;Land;Telefon;E-Mail;Bemerkung\r\n"
          ";Herr;Ömer;Öztürk;Schloßstraße 5;70173;Stuttgart;Deutschland;0711 1;oe@example.org;Kassenwart\r\n")
    with open(os.path.join(out, "libreoffice.csv"), "wb") as f:
        f.write(lo.encode("utf-8"))


xlsx()
ods()
xls()
csv_files()
