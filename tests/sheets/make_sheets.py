#!/usr/bin/env python3
"""Writes the spreadsheet and text files the sheet reader tests read, made by the real
writers: openpyxl (.xlsx), odfpy (.ods), xlwt (.xls). Where a writer cannot make what
real files hold (inline strings, rich text runs, cached formula values, cells without a
reference), the openpyxl file is changed afterwards the way Excel and other programs
write it; each change is named below.

Usage: make_sheets.py OUTDIR [--bomb]
  --bomb  also writes bomb.xlsx: a sheet entry of 2 GiB of zeros (about 2 MB packed)."""
import datetime
import io
import os
import re
import struct
import sys
import zipfile

out = sys.argv[1]
os.makedirs(out, exist_ok=True)


def path(name):
    return os.path.join(out, name)


# ---------------------------------------------------------------------------- .xlsx
def make_xlsx():
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Mitglieder"
    ws.append(["Name", "Vorname", "Straße", "PLZ", "Ort", "Eintritt", "Aktiv", "Beitrag"])
    ws.append(["Müller", "Jürgen", "Hauptstraße 5", 1067, "Dresden", datetime.date(2024, 3, 1), True, 3.5])
    ws["D2"].number_format = "00000"
    ws["F2"].number_format = "dd.mm.yyyy"
    ws.append(["Öztürk", "Ömer", "Schloßstraße 5", 1067, "Dresden", datetime.date(1999, 12, 31), False, 12])
    ws["F3"].number_format = "mm-dd-yy"  # openpyxl's spelling of built-in format 14
    ws.append(["Schmidt", None, None, 70173, "Stuttgart", None, None, 1234.5])
    ws["H4"].number_format = "#,##0.00"
    # Row 5 left out (an empty row), row 6 with gaps between its cells.
    ws["A6"] = "Lücke"
    ws["E6"] = "Ende"
    ws["A7"] = "Formel"  # B7 gets a formula with a cached value, see below
    ws["A8"] = "Reich"   # B8 gets rich text runs, see below
    ws["A9"] = "Inline"  # B9 gets an inline string, see below
    ws["A10"] = "Zahl"
    ws["B10"] = 4930123456
    ws["C10"] = 0.25
    ws["C10"].number_format = "0%"
    second = wb.create_sheet("Zweite Tabelle")
    second.append(["Nur", "hier"])
    second.append([1, 2])
    buf = io.BytesIO()
    wb.save(buf)
    # What openpyxl does not write, added as Excel writes it.
    src = zipfile.ZipFile(io.BytesIO(buf.getvalue()))
    entries = {i.filename: src.read(i.filename) for i in src.infolist()}
    sheet = entries["xl/worksheets/sheet1.xml"].decode()
    # Debian's openpyxl writes every text as an inline string; Excel keeps the texts of
    # column A in the shared strings table, as here.
    shared = []

    def to_shared(m):
        shared.append(m.group(3))
        return '<c r="%s"%s t="s"><v>%d</v></c>' % (m.group(1), m.group(2), len(shared) - 1)
    sheet = re.sub(r'<c r="(A\d+)"([^>]*?) t="inlineStr"><is><t[^>]*>(.*?)</t></is></c>', to_shared, sheet)
    count = len(shared)
    strings = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
               '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="%d" uniqueCount="%d">'
               % (count, count) + "".join("<si><t>%s</t></si>" % t for t in shared) + "</sst>")
    # A rich text item: two runs, and a phonetic guide that is not shown.
    strings = strings.replace("</sst>", '<si><r><t>Fett</t></r><r><rPr><b/></rPr><t xml:space="preserve"> und dünn</t></r>'
                              '<rPh sb="0" eb="1"><t>ふ</t></rPh></si></sst>')
    rels = entries["xl/_rels/workbook.xml.rels"].decode()
    entries["xl/_rels/workbook.xml.rels"] = rels.replace(
        "</Relationships>", '<Relationship Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
        'sharedStrings" Target="sharedStrings.xml" Id="rId9"/></Relationships>').encode()
    types = entries["[Content_Types].xml"].decode()
    entries["[Content_Types].xml"] = types.replace(
        "</Types>", '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-'
        'officedocument.spreadsheetml.sharedStrings+xml"/></Types>').encode()
    rows = {
        "7": '<c r="B7" t="str"><f>A7&amp;"!"</f><v>Formel!</v></c>',
        "8": '<c r="B8" t="s"><v>%d</v></c>' % count,
        "9": '<c r="B9" t="inlineStr"><is><t xml:space="preserve">  frei_x000D_stehend</t></is></c>',
    }
    for r, cell in rows.items():
        sheet = re.sub(r'(<row r="%s"[^>]*>)(.*?)(</row>)' % r, lambda m: m.group(1) + m.group(2) + cell + m.group(3), sheet,
                       flags=re.S)
    # A cell without a reference follows the cell before it (C10 → D10).
    sheet = sheet.replace('<row r="10"', '<row r="10"', 1)
    sheet = re.sub(r'(<row r="10"[^>]*>.*?)(</row>)', lambda m: m.group(1) + '<c t="b"><v>1</v></c>' + m.group(2), sheet,
                   flags=re.S)
    entries["xl/worksheets/sheet1.xml"] = sheet.encode()
    entries["xl/sharedStrings.xml"] = strings.encode()
    with zipfile.ZipFile(path("table.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in entries.items():
            z.writestr(name, data)


# ---------------------------------------------------------------------------- .ods
def make_ods():
    from odf.opendocument import OpenDocumentSpreadsheet
    from odf.style import Style
    from odf.number import NumberStyle, Number
    from odf.table import Table, TableRow, TableCell, CoveredTableCell, TableColumn
    from odf.text import P, Span, S, Tab, LineBreak
    doc = OpenDocumentSpreadsheet()
    zip5 = NumberStyle(name="N5")
    zip5.addElement(Number(decimalplaces="0", minintegerdigits="5"))
    doc.automaticstyles.addElement(zip5)
    plz = Style(name="cePLZ", family="table-cell", datastylename="N5")
    doc.automaticstyles.addElement(plz)

    def text_cell(*parts, repeat=None):
        cell = TableCell(valuetype="string", numbercolumnsrepeated=repeat) if repeat else TableCell(valuetype="string")
        p = P()
        for part in parts:
            if isinstance(part, str):
                p.addText(part)
            else:
                p.addElement(part)
        cell.addElement(p)
        return cell

    def empty(repeat=None):
        return TableCell(numbercolumnsrepeated=repeat) if repeat else TableCell()

    table = Table(name="Mitglieder")
    table.addElement(TableColumn(numbercolumnsrepeated="1024"))
    header = TableRow()
    for h in ["Name", "Vorname", "Straße", "PLZ", "Ort", "Eintritt", "Aktiv", "Beitrag"]:
        header.addElement(text_cell(h))
    header.addElement(empty(repeat="1016"))
    table.addElement(header)

    r = TableRow()
    r.addElement(text_cell("Mül", Span(text="ler")))
    r.addElement(text_cell("Jürgen", S(c="3"), "Karl"))
    r.addElement(text_cell("Haupt", Tab(), "straße", LineBreak(), "5"))
    c = TableCell(valuetype="float", value="1067", stylename=plz)
    c.addElement(P(text="01067"))
    r.addElement(c)
    r.addElement(text_cell("Dresden"))
    c = TableCell(valuetype="date", datevalue="2024-03-01")
    c.addElement(P(text="01.03.2024"))
    r.addElement(c)
    c = TableCell(valuetype="boolean", booleanvalue="true")
    c.addElement(P(text="WAHR"))
    r.addElement(c)
    c = TableCell(valuetype="float", value="3.5")
    c.addElement(P(text="3,5"))
    r.addElement(c)
    r.addElement(empty(repeat="1016"))
    table.addElement(r)

    r = TableRow()
    r.addElement(text_cell("Öztürk"))
    r.addElement(text_cell("Ömer"))
    r.addElement(text_cell("Schloßstraße 5"))
    c = TableCell(valuetype="float", value="1067")  # no format: the zero is lost
    c.addElement(P(text="1067"))
    r.addElement(c)
    r.addElement(text_cell("Dresden"))
    r.addElement(TableCell(valuetype="date", datevalue="1999-12-31"))  # no shown text
    r.addElement(TableCell(valuetype="boolean", booleanvalue="false"))
    r.addElement(TableCell(valuetype="float", value="12"))
    table.addElement(r)

    r = TableRow()
    r.addElement(text_cell("Schmidt"))
    r.addElement(empty(repeat="2"))
    r.addElement(TableCell(valuetype="float", value="1067", stylename=plz))  # format, no shown text
    r.addElement(text_cell("Stuttgart"))
    table.addElement(r)

    table.addElement(TableRow(numberrowsrepeated="2"))  # two empty rows
    r = TableRow()
    r.addElement(text_cell("x", repeat="3"))  # one cell written once for three columns
    merged = text_cell("verbunden")
    merged.setAttribute("numbercolumnsspanned", "2")
    r.addElement(merged)
    r.addElement(CoveredTableCell())
    r.addElement(text_cell("Ende"))
    table.addElement(r)
    r = TableRow()
    r.addElement(text_cell(" führend", S(), "und", S(c="2")))
    table.addElement(r)
    # The tail LibreOffice writes: formatted but empty rows to the end of the sheet.
    tail = TableRow(numberrowsrepeated="1048560")
    tail.addElement(empty(repeat="1024"))
    table.addElement(tail)
    doc.spreadsheet.addElement(table)

    second = Table(name="Zweite Tabelle")
    r = TableRow()
    r.addElement(text_cell("Nur"))
    r.addElement(text_cell("hier"))
    second.addElement(r)
    doc.spreadsheet.addElement(second)
    doc.save(path("table.ods"))


# ---------------------------------------------------------------------------- .xls
def make_xls():
    import xlwt
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("Mitglieder")
    for col, h in enumerate(["Name", "Vorname", "PLZ", "Ort", "Eintritt", "Beitrag"]):
        ws.write(0, col, h)
    date = xlwt.easyxf(num_format_str="DD.MM.YYYY")
    ws.write(1, 0, "Müller")
    ws.write(1, 1, "Jürgen")
    ws.write(1, 2, 1067)
    ws.write(1, 3, "Dresden")
    ws.write(1, 4, datetime.date(2024, 3, 1), date)
    ws.write(1, 5, 3.5)
    ws.write(3, 0, "Nach Leerzeile")
    ws.write(3, 3, "Lücke")
    second = wb.add_sheet("Zweite Tabelle")
    second.write(0, 0, "Nur")
    second.write(0, 1, "hier")
    wb.save(path("table.xls"))


# ---------------------------------------------------------------------------- text files
def make_texts():
    rows = [["Name", "Vorname", "Straße", "PLZ", "Ort"],
            ["Müller", "Jürgen", "Hauptstraße 5", "01067", "Dresden"],
            ["Öztürk", "Ömer", "Schloßstraße 5", "1067", "Köln"]]

    def write(name, data):
        with open(path(name), "wb") as f:
            f.write(data)

    def joined(sep, eol="\r\n"):
        return eol.join(sep.join(r) for r in rows) + eol

    write("utf8-comma.csv", joined(",").encode("utf-8"))
    write("utf8-bom-semicolon.csv", b"\xef\xbb\xbf" + joined(";").encode("utf-8"))
    write("cp1252-semicolon.csv", joined(";", "\n").encode("cp1252"))
    write("tab.txt", joined("\t", "\r").encode("utf-8"))
    write("unicode.txt", joined("\t").encode("utf-16"))  # Excel's "Unicode-Text": UTF-16 LE behind its mark
    # Quoted fields: a delimiter, a doubled quote and a line break inside.
    write("quoted.csv", ('Name;Bemerkung;Ort\r\n'
                         '"Müller; Söhne";"sagt ""Hallo""";Köln\r\n'
                         '"Zwei\r\nZeilen";"a\nb";\r\n'
                         '\r\n'
                         'Letzte;ohne;Zeilenende').encode("utf-8"))


# ---------------------------------------------------------------------------- broken files
def make_broken():
    whole = open(path("table.xlsx"), "rb").read()
    open(path("truncated.xlsx"), "wb").write(whole[: len(whole) // 2])
    # A zip whose sheet is not well-formed XML.
    src = zipfile.ZipFile(path("table.xlsx"))
    with zipfile.ZipFile(path("badxml.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        for i in src.infolist():
            data = src.read(i.filename)
            if i.filename == "xl/worksheets/sheet1.xml":
                data = data[: len(data) // 2] + b"<<&"
            z.writestr(i.filename, data)
    # A stored entry whose bytes were changed: the checksum no longer fits.
    with zipfile.ZipFile(path("badcrc.ods"), "w", zipfile.ZIP_STORED) as z:
        src = zipfile.ZipFile(path("table.ods"))
        for i in src.infolist():
            z.writestr(i.filename, src.read(i.filename))
    data = bytearray(open(path("badcrc.ods"), "rb").read())
    at = data.find(b"Dresden")
    data[at] = ord("X")
    open(path("badcrc.ods"), "wb").write(bytes(data))
    # An ODS saved with a password: the manifest says how each part was encrypted.
    src = zipfile.ZipFile(path("table.ods"))
    with zipfile.ZipFile(path("encrypted.ods"), "w", zipfile.ZIP_DEFLATED) as z:
        for i in src.infolist():
            data = src.read(i.filename)
            if i.filename == "META-INF/manifest.xml":
                data = data.replace(b'manifest:full-path="content.xml" manifest:media-type="text/xml"/>',
                                    b'manifest:full-path="content.xml" manifest:media-type="text/xml">'
                                    b'<manifest:encryption-data '
                                    b'manifest:checksum-type="SHA1/1K" manifest:checksum="AAAA">'
                                    b'<manifest:algorithm manifest:algorithm-name="Blowfish CFB" '
                                    b'manifest:initialisation-vector="AAAA"/></manifest:encryption-data>'
                                    b'</manifest:file-entry>')
            z.writestr(i.filename, data)
    assert b"encryption-data" in zipfile.ZipFile(path("encrypted.ods")).read("META-INF/manifest.xml")
    open(path("encrypted.xlsx"), "wb").write(ole2({"EncryptionInfo": b"\x04\x00\x04\x00\x40\x00\x00\x00" + b"\0" * 4088,
                                                   "EncryptedPackage": b"\x10\x00\x00\x00\x00\x00\x00\x00" + b"\x5a" * 8184}))
    open(path("notatable.ods"), "wb").write(zip_of({"readme.txt": b"hallo"}))
    open(path("binary.csv"), "wb").write(b"%PDF-1.4\n\x00\x01\x02binary")


def zip_of(entries):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w") as z:
        for name, data in entries.items():
            z.writestr(name, data)
    return buf.getvalue()


def ole2(streams):
    """A compound file (OLE2, version 3, 512-byte sectors) holding the given streams,
    each at least 4096 bytes so that it lives in regular sectors. This is how an Office
    file saved with a password looks from outside: no zip, but an OLE2 file with the
    streams EncryptionInfo and EncryptedPackage."""
    sector = 512
    names = list(streams)
    data_sectors = []
    chains = []
    next_sector = 0
    for name in names:
        body = streams[name]
        n = (len(body) + sector - 1) // sector
        chains.append((next_sector, n))
        data_sectors.append(body + b"\0" * (n * sector - len(body)))
        next_sector += n
    dir_sector = next_sector
    fat_sector = dir_sector + 1
    total = fat_sector + 1
    fat = []
    for start, n in chains:
        fat += [start + k + 1 for k in range(n - 1)] + [0xFFFFFFFE]
    fat += [0xFFFFFFFE, 0xFFFFFFFD]  # the directory (one sector), the FAT itself
    fat += [0xFFFFFFFF] * (sector // 4 - len(fat))

    def entry(name, kind, start, size, child=0xFFFFFFFF, left=0xFFFFFFFF, right=0xFFFFFFFF):
        encoded = name.encode("utf-16-le") + b"\0\0"
        return (encoded + b"\0" * (64 - len(encoded)) + struct.pack("<HBB", len(encoded), kind, 1) +
                struct.pack("<III", left, right, child) + b"\0" * 16 + b"\0" * 4 + b"\0" * 16 +
                struct.pack("<IIII", start, size, 0, 0)[:12])
    entries = [entry("Root Entry", 5, 0xFFFFFFFE, 0, child=1)]
    for i, name in enumerate(names):
        start, n = chains[i]
        entries.append(entry(name, 2, start, len(streams[name]), right=(i + 2 if i + 1 < len(names) else 0xFFFFFFFF)))
    directory = b"".join(entries)
    directory += b"\0" * (sector - len(directory))
    header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16 + struct.pack("<HHHHH", 0x3E, 3, 0xFFFE, 9, 6) +
              b"\0" * 6 + struct.pack("<IIIIIIII", 0, 1, dir_sector, 0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE) +
              struct.pack("<I", 0) + struct.pack("<I", fat_sector) + b"\xff" * (4 * 108))
    header = header[:76] + struct.pack("<I", fat_sector) + b"\xff" * (512 - 80)
    return header + b"".join(data_sectors) + directory + struct.pack("<%dI" % (sector // 4), *fat)


def make_bomb():
    """A workbook whose sheet unpacks to 2 GiB of zeros, written in pieces."""
    src = zipfile.ZipFile(path("table.xlsx"))
    with zipfile.ZipFile(path("bomb.xlsx"), "w", zipfile.ZIP_DEFLATED, compresslevel=1) as z:
        for i in src.infolist():
            if i.filename == "xl/worksheets/sheet1.xml":
                continue
            z.writestr(i.filename, src.read(i.filename))
        with z.open("xl/worksheets/sheet1.xml", "w", force_zip64=True) as f:
            f.write(b'<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>')
            zeros = b"0" * (1 << 20)
            for _ in range(2048):
                f.write(zeros)


make_xlsx()
make_ods()
make_xls()
make_texts()
make_broken()
if "--bomb" in sys.argv:
    make_bomb()
