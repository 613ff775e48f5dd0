#!/usr/bin/env bash
# Writes the seed inputs of the fuzz targets into fuzz/seeds/<name>/. The small text
# seeds are written here as well, so the whole set can be made again from this script.
# Needs: python3, sqlite3, ImageMagick's convert, chmcmd, msgfmt (gettext).
set -euo pipefail
cd "$(dirname "$0")"
seeds=seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{csv,settings,reversewords,cp1252,picture,chm,database,mocatalog}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CSV import files: ANSI, UTF-8 and UTF-16 with their byte order marks, odd field counts.
printf 'Name;Vorname;Titel;Strasse;PLZ;Ort\r\nM\xfcller;Max;Dr.;Hauptstr. 1;12345;Berlin\r\n;;;;;Z\r\nU;V;W;X;Y; \r\n' >"$seeds/csv/ansi.csv"
printf '\xef\xbb\xbfKopf\nA;B;C;D;E;F;G\n"x;y";"q";;;;\n\n   \nU;V;W;X;Y;\n' >"$seeds/csv/utf8-bom.csv"
python3 - "$seeds/csv" <<'PY'
import sys
d = sys.argv[1]
text = "Kopf\r\nSchulz;Anna;;Weg 2;01234;Köln\rA;B;C;D;E;F\n"
open(d + "/utf16le.csv", "wb").write(b"\xff\xfe" + text.encode("utf-16-le"))
open(d + "/utf16be.csv", "wb").write(b"\xfe\xff" + text.encode("utf-16-be"))
PY

# Settings files.
printf '[WINDOW]\r\nMaximized=1\r\nLeft=-20\r\nTop=0x10\r\nWidth=1000\r\nHeight=710\r\n[FONT]\r\nName="  Arial "\r\nSize1=11\r\n[DPI]\r\nFactor=0\r\n[ADRESSEN]\r\nSpalte6=40\r\nMoveSpace=99\r\n[SPALTE]\r\nName=1\r\n[BACKUP]\r\nPath=/home/m\xfcller/Sicherung\r\nDate=07.03.2025 14:05\r\n' >"$seeds/settings/full.ini"
printf '; Kommentar\n[config]\ndrucker = 3\nformat=12\n[Unbekannt]\nx=y\n[CONFIG\nAlign=-1\n' >"$seeds/settings/odd.ini"

# Address lines for sort names.
printf 'Max Mustermann' >"$seeds/reversewords/plain"
printf '  "Dr. Anna" Schulz, ,M\xc3\xbcller ""x"" ,' >"$seeds/reversewords/quotes"
printf 'a,\tb\x00c "unclosed' >"$seeds/reversewords/controls"

# Every byte once, and UTF-8 with characters outside the code page.
python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)))' >"$seeds/cp1252/allbytes"
printf '\xe2\x82\xac \xc5\x93 \xe1\xba\x9e \xf0\x9f\x98\x80 \xc3\xa4 \xcc\x88a \xed\xa0\x80' >"$seeds/cp1252/utf8"

# Pictures: the first byte picks the kind (0 JPEG, 1 PNG, 2 GIF, 3 BMP, 4 WMF).
convert -size 6x4 xc:red -fill blue -draw 'point 1,1' "$work/p.ppm"
convert "$work/p.ppm" -quality 90 "$work/p.jpg"
convert "$work/p.ppm" -colorspace Gray "$work/g.jpg"
convert "$work/p.ppm" -interlace JPEG "$work/i.jpg"
convert "$work/p.ppm" -alpha set -channel A -evaluate set 50% "$work/p.png"
convert "$work/p.ppm" -transparent blue "$work/p.gif"
convert "$work/p.ppm" "BMP3:$work/p.bmp"
python3 - "$work" <<'PY'
import struct, sys
w = sys.argv[1]
def rec(fn, *params):
    return struct.pack("<IH", 3 + len(params), fn) + b"".join(struct.pack("<h", p) for p in params)
body = b"".join([
    rec(0x020B, 0, 0),                    # SetWindowOrg
    rec(0x020C, 50, 100),                 # SetWindowExt
    struct.pack("<IHHIH", 7, 0x02FC, 0, 0x0000FF, 0),  # CreateBrushIndirect red
    rec(0x012D, 0),                       # SelectObject
    rec(0x041B, 50, 50, 0, 0),            # Rectangle
    rec(0x0000),                          # EOF
])
words = (len(body) // 2) + 9
header = struct.pack("<HHHIHHI", 1, 9, 0x300, words, 1, 7, 0)
placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 100, 50, 96, 0)
chk = 0
for i in range(0, 20, 2):
    chk ^= struct.unpack("<H", placeable[i:i+2])[0]
placeable += struct.pack("<H", chk)
open(w + "/p.wmf", "wb").write(placeable + header + body)
open(w + "/bare.wmf", "wb").write(header + body)
PY
seed() { { printf "\\x$(printf %02x "$1")"; cat "$2"; } >"$seeds/picture/$3"; }
seed 0 "$work/p.jpg" jpeg
seed 0 "$work/g.jpg" jpeg-grey
seed 0 "$work/i.jpg" jpeg-progressive
seed 1 "$work/p.png" png
seed 2 "$work/p.gif" gif
seed 3 "$work/p.bmp" bmp
seed 4 "$work/p.wmf" wmf
seed 4 "$work/bare.wmf" wmf-bare

# A small help file: two pages, contents, context map, default topic.
mkdir -p "$work/help"
printf '<html><head><title>Start</title></head><body><a href="zwei.htm#oben">Zwei</a><img src="bild.png"></body></html>' >"$work/help/start.htm"
printf '<html><head><title>Zwei</title></head><body>Seite</body></html>' >"$work/help/zwei.htm"
cat >"$work/help/h.hhc" <<'HHC'
<html><body><ul>
<li><object type="text/sitemap"><param name="Name" value="Start &amp; Co"><param name="Local" value="start.htm"></object>
<ul><li><object type="text/sitemap"><param name="Name" value="Zwei"><param name="Local" value="zwei.htm"></object></ul>
</ul></body></html>
HHC
printf '#define IDH_START 1000\n#define IDH_ZWEI 1001\n' >"$work/help/h.h"
cat >"$work/help/h.hhp" <<'HHP'
[OPTIONS]
Compiled file=h.chm
Contents file=h.hhc
Default topic=start.htm
Language=0x407 German (Germany)
Title=Hilfe

[FILES]
start.htm
zwei.htm

[MAP]
#include h.h

[ALIAS]
IDH_START=start.htm
IDH_ZWEI=zwei.htm
HHP
(cd "$work/help" && chmcmd --no-html-scan --verbosity 0 h.hhp >/dev/null)
cp "$work/help/h.chm" "$seeds/chm/hilfe.chm"

# Databases with small pages: a current one with a banner, one of an older version
# without the sort-name column, and an empty file.
jpeghex=$(python3 -c 'import sys; print(open(sys.argv[1],"rb").read().hex())' "$work/p.jpg")
sqlite3 "$seeds/database/current.dbs" <<SQL
PRAGMA page_size=512;
CREATE TABLE tab_absender (Absender_ID VARCHAR(10) PRIMARY KEY,Line1 VARCHAR(50),Line2 VARCHAR(50),Line3 VARCHAR(50),Line4 VARCHAR(50),Line5 VARCHAR(50));
CREATE TABLE tab_adressen (Adresse_ID VARCHAR(10) PRIMARY KEY,Gruppe_ID VARCHAR(10),Line1 VARCHAR(50),Line2 VARCHAR(50),Line3 VARCHAR(50),Line4 VARCHAR(50),Line5 VARCHAR(50),Line6 VARCHAR(50),Aktiv TINYINT);
CREATE TABLE tab_gruppen (Gruppe_ID VARCHAR(10) PRIMARY KEY,Name VARCHAR(50));
CREATE TABLE tab_daten (Daten_ID VARCHAR(10) PRIMARY KEY,Adresse_ID VARCHAR(10),Telefon VARCHAR(30),Fax VARCHAR(30),Handy VARCHAR(30),Mail VARCHAR(50),Versand VARCHAR(50),Bemerkung VARCHAR(255));
CREATE TABLE tab_banner (Banner_ID VARCHAR(10) PRIMARY KEY,Absender_ID VARCHAR(10),Banner BLOB COLLATE NOCASE);
INSERT INTO tab_absender VALUES ('AB00000001','Firma','Weg 1','','','12345 Ort');
INSERT INTO tab_banner VALUES ('BN00000001','AB00000001',X'$jpeghex');
INSERT INTO tab_gruppen VALUES ('GR00000001','Kunden');
INSERT INTO tab_adressen VALUES ('AD00000001','GR00000001','Anna','Schulz','Weg 2','',CAST(X'4bf6' AS TEXT),NULL,1);
INSERT INTO tab_adressen VALUES ('AD00000002','GR00000001','Bernd','a','','','',NULL,0);
INSERT INTO tab_daten VALUES ('DA00000001','AD00000001','0301','','','a@b.de','Post','');
SQL
sqlite3 "$seeds/database/old.dbs" <<SQL
PRAGMA page_size=512;
CREATE TABLE tab_adressen (Adresse_ID VARCHAR(10) PRIMARY KEY,Gruppe_ID VARCHAR(10),Line1 VARCHAR(50),Line2 VARCHAR(50),Line3 VARCHAR(50),Line4 VARCHAR(50),Line5 VARCHAR(50),Aktiv TINYINT);
CREATE TABLE tab_gruppen (Gruppe_ID VARCHAR(10) PRIMARY KEY,Name VARCHAR(50));
INSERT INTO tab_gruppen VALUES ('GR00000001','Alt');
INSERT INTO tab_adressen VALUES ('AD00000001','GR00000001','X','','','','',1);
SQL
: >"$seeds/database/empty.dbs"
# Gettext catalogues as msgfmt writes them: UTF-8 in both byte orders with a plural and a
# context, and ISO-8859-1. The distribution's German label catalogue is no file of ours:
# scripts/fuzz.sh and the replay test add it where glabels-data installed it.
cat >"$work/tiny.po" <<'PO'
msgid ""
msgstr "Content-Type: text/plain; charset=UTF-8\n"

msgid "Address Labels"
msgstr "Adressaufkleber"

msgid "Round labels"
msgstr "Runde Etiketten für Gläser"

msgid "Untranslated"
msgstr ""

msgid "%d label"
msgid_plural "%d labels"
msgstr[0] "%d Etikett"
msgstr[1] "%d Etiketten"

msgctxt "Brand"
msgid "Any"
msgstr "Alle"
PO
msgfmt -o "$seeds/mocatalog/utf8-le.mo" "$work/tiny.po"
msgfmt --endianness=big -o "$seeds/mocatalog/utf8-be.mo" "$work/tiny.po"
printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=ISO-8859-1\\n"\n\nmsgid "Square labels"\nmsgstr "Quadratische Etiketten \xe4\xf6\xfc"\n' >"$work/latin1.po"
msgfmt -o "$seeds/mocatalog/latin1.mo" "$work/latin1.po"

du -sh "$seeds"/*
