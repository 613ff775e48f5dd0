// WriteTableFile: one sheet of text cells as .ods or .xlsx, the smallest file that
// LibreOffice, Excel and our own readers open. Rows are written as they come, straight
// into the zip entry, through a temporary file that replaces the target only when whole.
#include "sheets/SheetErrors.h"
#include "sheets/TableSource.h"
#include "sheets/XmlText.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <zlib.h>

namespace sheets {

namespace {

using namespace Qt::StringLiterals;

class WriteFailed
{
};

// One entry of the zip being written.
class Entry
{
public:
    Entry(QuaZip& zip, const QString& name, bool stored = false) : m_file(&zip)
    {
        QuaZipNewInfo info(name);
        info.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                QFileDevice::ReadOther);
        if (!m_file.open(QIODevice::WriteOnly, info, nullptr, 0, stored ? 0 : Z_DEFLATED, stored ? 0 : 6))
            throw WriteFailed();
    }
    ~Entry()
    {
        if (m_file.isOpen())
            m_file.close();
    }
    QIODevice* Device() { return &m_file; }
    void Write(const QByteArray& bytes)
    {
        if (m_file.write(bytes) != bytes.size())
            throw WriteFailed();
    }
    void Close()
    {
        m_file.close();
        if (m_file.getZipError() != ZIP_OK)
            throw WriteFailed();
    }

private:
    QuaZipFile m_file;
};

void checkWriter(const QXmlStreamWriter& xml)
{
    if (xml.hasError())
        throw WriteFailed();
}

// ODF text: runs of blanks as text:s, tabs and line breaks as their elements. A carriage
// return is written as a character reference before the line break, as XML would turn a
// bare one into a line feed: our reader gives the text back as it was (CR LF stays CR LF),
// LibreOffice shows it as a blank.
// The header, then every row the producer hands over, then the document's end.
template <class WriteRow>
void writeRowsAndEnd(QXmlStreamWriter& xml, const QStringList& header, const RowProducer& rows, WriteRow writeRow)
{
    writeRow(header);
    QStringList row;
    while (rows(row)) {
        writeRow(row);
        row.clear();
    }
    xml.writeEndDocument();
    checkWriter(xml);
}

void writeOdfText(QXmlStreamWriter& xml, const QString& text)
{
    static const QString ns = u"urn:oasis:names:tc:opendocument:xmlns:text:1.0"_s;
    QString run;
    auto flush = [&] {
        if (!run.isEmpty())
            xml.writeCharacters(run);
        run.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u' ' && (i == 0 || text.at(i - 1) == u' ' || i + 1 == text.size())) {
            qsizetype n = 1;
            while (i + n < text.size() && text.at(i + n) == u' ')
                ++n;
            flush();
            xml.writeEmptyElement(ns, u"s"_s);
            if (n > 1)
                xml.writeAttribute(ns, u"c"_s, QString::number(n));
            i += n - 1;
        } else if (c == u'\t') {
            flush();
            xml.writeEmptyElement(ns, u"tab"_s);
        } else if (c == u'\n') {
            flush();
            xml.writeEmptyElement(ns, u"line-break"_s);
        } else if (c == u'\r') {
            flush();
            xml.writeEntityReference(u"#13"_s);
        } else {
            run += c;
        }
    }
    flush();
}

void writeOds(QuaZip& zip, const QString& sheetName, const QStringList& header, const RowProducer& rows)
{
    {
        Entry mimetype(zip, u"mimetype"_s, true);
        mimetype.Write("application/vnd.oasis.opendocument.spreadsheet");
        mimetype.Close();
    }
    {
        Entry manifest(zip, u"META-INF/manifest.xml"_s);
        manifest.Write(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
            "manifest:version=\"1.2\">\n"
            " <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.2\" "
            "manifest:media-type=\"application/vnd.oasis.opendocument.spreadsheet\"/>\n"
            " <manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>\n"
            " <manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>\n"
            "</manifest:manifest>\n");
        manifest.Close();
    }
    {
        Entry styles(zip, u"styles.xml"_s);
        styles.Write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<office:document-styles xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                     "office:version=\"1.2\"/>\n");
        styles.Close();
    }
    Entry content(zip, u"content.xml"_s);
    QXmlStreamWriter xml(content.Device());
    const QString office = u"urn:oasis:names:tc:opendocument:xmlns:office:1.0"_s;
    const QString table = u"urn:oasis:names:tc:opendocument:xmlns:table:1.0"_s;
    const QString text = u"urn:oasis:names:tc:opendocument:xmlns:text:1.0"_s;
    xml.writeNamespace(office, u"office"_s);
    xml.writeNamespace(table, u"table"_s);
    xml.writeNamespace(text, u"text"_s);
    xml.writeStartDocument();
    xml.writeStartElement(office, u"document-content"_s);
    xml.writeAttribute(office, u"version"_s, u"1.2"_s);
    xml.writeStartElement(office, u"body"_s);
    xml.writeStartElement(office, u"spreadsheet"_s);
    xml.writeStartElement(table, u"table"_s);
    xml.writeAttribute(table, u"name"_s, xml::XmlSafe(sheetName));
    xml.writeEmptyElement(table, u"table-column"_s);
    xml.writeAttribute(table, u"number-columns-repeated"_s, QString::number(std::max<qsizetype>(1, header.size())));
    auto writeRow = [&](const QStringList& cells) {
        xml.writeStartElement(table, u"table-row"_s);
        for (const QString& cell : cells) {
            const QString safe = xml::XmlSafe(cell);
            if (safe.isEmpty()) {
                xml.writeEmptyElement(table, u"table-cell"_s);
                continue;
            }
            xml.writeStartElement(table, u"table-cell"_s);
            xml.writeAttribute(office, u"value-type"_s, u"string"_s);
            xml.writeStartElement(text, u"p"_s);
            writeOdfText(xml, safe);
            xml.writeEndElement();
            xml.writeEndElement();
        }
        if (cells.isEmpty())
            xml.writeEmptyElement(table, u"table-cell"_s);
        xml.writeEndElement();
        checkWriter(xml);
    };
    writeRowsAndEnd(xml, header, rows, writeRow);
    content.Close();
}

// "A" for column 0, "AA" for 26.
QString columnName(qsizetype column)
{
    QString name;
    for (qsizetype c = column + 1; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + char16_t((c - 1) % 26)));
    return name;
}

// Excel refuses sheet names with []:*?/\ or over 31 characters.
QString xlsxSheetName(const QString& name)
{
    QString n = xml::XmlSafe(name);
    for (const QChar c : u"[]:*?/\\")
        n.replace(c, u'_');
    n = n.left(31).trimmed();
    return n.isEmpty() ? u"Tabelle1"_s : n;
}

void writeXlsx(QuaZip& zip, const QString& sheetName, const QStringList& header, const RowProducer& rows)
{
    auto small = [&](const QString& name, const QByteArray& bytes) {
        Entry e(zip, name);
        e.Write(bytes);
        e.Close();
    };
    small(u"[Content_Types].xml"_s,
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
          "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
          "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
          "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
          "<Override PartName=\"/xl/workbook.xml\" "
          "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
          "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
          "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
          "<Override PartName=\"/xl/styles.xml\" "
          "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
          "</Types>\n");
    small(u"_rels/.rels"_s,
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId1\" "
          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
          "Target=\"xl/workbook.xml\"/></Relationships>\n");
    {
        Entry e(zip, u"xl/workbook.xml"_s);
        QXmlStreamWriter xml(e.Device());
        xml.writeStartDocument(u"1.0"_s, true);
        xml.writeStartElement(u"workbook"_s);
        xml.writeDefaultNamespace(u"http://schemas.openxmlformats.org/spreadsheetml/2006/main"_s);
        xml.writeNamespace(u"http://schemas.openxmlformats.org/officeDocument/2006/relationships"_s, u"r"_s);
        xml.writeStartElement(u"sheets"_s);
        xml.writeEmptyElement(u"sheet"_s);
        xml.writeAttribute(u"name"_s, xlsxSheetName(sheetName));
        xml.writeAttribute(u"sheetId"_s, u"1"_s);
        xml.writeAttribute(u"http://schemas.openxmlformats.org/officeDocument/2006/relationships"_s, u"id"_s, u"rId1"_s);
        xml.writeEndDocument();
        checkWriter(xml);
        e.Close();
    }
    small(u"xl/_rels/workbook.xml.rels"_s,
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
          "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
          "<Relationship Id=\"rId1\" "
          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
          "Target=\"worksheets/sheet1.xml\"/>"
          "<Relationship Id=\"rId2\" "
          "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
          "Target=\"styles.xml\"/></Relationships>\n");
    small(u"xl/styles.xml"_s,
          "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
          "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
          "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
          "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
          "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
          "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
          "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
          "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
          "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
          "</styleSheet>\n");
    Entry sheet(zip, u"xl/worksheets/sheet1.xml"_s);
    QXmlStreamWriter xml(sheet.Device());
    xml.writeStartDocument(u"1.0"_s, true);
    xml.writeStartElement(u"worksheet"_s);
    xml.writeDefaultNamespace(u"http://schemas.openxmlformats.org/spreadsheetml/2006/main"_s);
    xml.writeStartElement(u"sheetData"_s);
    qint64 rowNumber = 0;
    auto writeRow = [&](const QStringList& cells) {
        ++rowNumber;
        xml.writeStartElement(u"row"_s);
        xml.writeAttribute(u"r"_s, QString::number(rowNumber));
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QString safe = xml::XmlSafe(cells.at(c));
            if (safe.isEmpty())
                continue;
            xml.writeStartElement(u"c"_s);
            xml.writeAttribute(u"r"_s, columnName(c) + QString::number(rowNumber));
            xml.writeAttribute(u"t"_s, u"inlineStr"_s);
            xml.writeStartElement(u"is"_s);
            xml.writeStartElement(u"t"_s);
            xml.writeAttribute(u"xml:space"_s, u"preserve"_s);
            xml.writeCharacters(xml::EncodeOoxmlEscapes(safe));
            xml.writeEndElement();
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();
        checkWriter(xml);
    };
    writeRowsAndEnd(xml, header, rows, writeRow);
    sheet.Close();
}

} // namespace

void WriteTableFile(const QString& path, const QString& sheetName, const QStringList& header, const RowProducer& rows)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const QString name = errors::DisplayName(path);
    if (suffix != u"ods" && suffix != u"xlsx")
        throw SheetError(QStringLiteral("Die Datei „%1“ kann nur als Tabelle (.ods oder .xlsx) geschrieben werden.").arg(name));
    QSaveFile file(path);
    const auto failed = [&] {
        return SheetError(QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n%2")
                              .arg(name, file.error() == QFileDevice::NoError ? QStringLiteral("Schreibfehler.")
                                                                               : file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failed();
    bool whole = false;
    {
        QuaZip zip(&file);
        // The temporary file replaces the target only when the zip is whole: QuaZip
        // would commit it on close, even after a failure.
        zip.setAutoClose(false);
        if (zip.open(QuaZip::mdCreate)) {
            try {
                if (suffix == u"ods")
                    writeOds(zip, sheetName, header, rows);
                else
                    writeXlsx(zip, sheetName, header, rows);
                zip.close();
                whole = zip.getZipError() == ZIP_OK;
            } catch (const WriteFailed&) {
                zip.close();
            } catch (...) {
                // Given up by the caller (a cancel): nothing of the new file stays.
                zip.close();
                file.cancelWriting();
                throw;
            }
        }
    }
    if (!whole || file.error() != QFileDevice::NoError || !file.commit()) {
        file.cancelWriting();
        throw failed();
    }
}

} // namespace sheets
