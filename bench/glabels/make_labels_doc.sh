#!/bin/sh
# usage: make_labels_doc.sh CSV OUT.glabels  -- the address labels of LabelSheetsBench: the
# installed Zweckform 3475 sheet (3 x 8 on A4, taken from glabels-data at run time) with a
# four-line address block merged onto every label.
CSV="$1"; OUT="$2"
TEMPLATES=${TAVISTO_LABEL_TEMPLATES:-/usr/share/libglabels-3.0/templates}
TEMPLATE=$(python3 - "$TEMPLATES/zweckform-iso-templates.xml" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
m = re.search(r'<Template brand="Zweckform" part="3475".*?</Template>', text, re.S)
if not m:
    sys.exit("Zweckform 3475 is not in " + sys.argv[1])
print(m.group(0).replace("_description=", "description="))
PY
) || exit 1
cat > "$OUT" <<XML
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  $TEMPLATE
  <Objects id="0" rotate="False">
    <Object-text x="1.5mm" y="1.5mm" w="67mm" h="33mm" justify="Left" valign="Center" auto_shrink="False" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0">
      <Span color="0x000000ff" font_family="DejaVu Sans" font_size="11" font_weight="Regular" font_italic="False" line_spacing="1"><Field name="Anrede"/><NL/><Field name="Vorname"/> <Field name="Nachname"/><NL/><Field name="Strasse"/><NL/><Field name="PLZ"/> <Field name="Ort"/></Span>
    </Object-text>
  </Objects>
  <Merge type="Text/Semicolon/Line1Keys" src="$CSV"/>
  <Data/>
</Glabels-document>
XML
