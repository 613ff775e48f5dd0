#!/usr/bin/env bash
# Writes the seeds of the spreadsheet fuzz targets (xlsx, ods, zip, tablecsv) from the
# files that tests/sheets/make_sheets.py makes with openpyxl, odfpy and xlwt.
# Needs Debian's python3 with python3-openpyxl, python3-odf and python3-xlwt.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 ../tests/sheets/make_sheets.py "$work"
for t in xlsx ods zip tablecsv; do rm -rf "seeds/$t"; mkdir -p "seeds/$t"; done
cp "$work/table.xlsx" "$work/badxml.xlsx" seeds/xlsx/
cp "$work/table.ods" "$work/encrypted.ods" seeds/ods/
cp "$work/table.ods" "$work/badcrc.ods" "$work/notatable.ods" seeds/zip/
cp "$work/quoted.csv" "$work/cp1252-semicolon.csv" "$work/tab.txt" "$work/utf8-bom-semicolon.csv" seeds/tablecsv/
