#include "sheets/OdsSource.h"

#include "sheets/NumberFormat.h"
#include "sheets/RowSink.h"
#include "sheets/SheetErrors.h"

#include <QByteArrayMatcher>
#include <QHash>
#include <QXmlStreamReader>

namespace sheets {

namespace {

using namespace Qt::StringLiterals;

const QString kContent = u"content.xml"_s;

// The names of the tables, found by looking for their start tags in the bytes of
// content.xml: a second pass of the XML parser would double the time a large sheet takes.
QStringList scanTableNames(ZipArchive& zip)
{
    static const QByteArray tag = "<table:table";
    static const QByteArray nameAttr = "table:name=";
    const QByteArrayMatcher matcher(tag);
    std::unique_ptr<QIODevice> stream = zip.Open(kContent);
    QStringList names;
    QByteArray buffer;
    char chunk[65536];
    for (;;) {
        const qint64 n = stream->read(chunk, sizeof chunk);
        if (n < 0)
            zip.Fail(stream.get());
        const bool last = n == 0;
        buffer.append(chunk, n);
        qsizetype from = 0;
        for (;;) {
            const qsizetype at = matcher.indexIn(buffer, from);
            if (at < 0)
                break;
            const qsizetype close = buffer.indexOf('>', at);
            if (close < 0) {
                from = at;
                break;
            }
            from = close + 1;
            const char after = buffer.at(at + tag.size());
            if (after != ' ' && after != '\t' && after != '\n' && after != '\r' && after != '>' && after != '/')
                continue; // table:table-row, table:table-cell, ...
            const QByteArray element = buffer.mid(at, close - at);
            QString name;
            const qsizetype attr = element.indexOf(nameAttr);
            if (attr >= 0 && attr + nameAttr.size() < element.size()) {
                const char quote = element.at(attr + nameAttr.size());
                const qsizetype end = element.indexOf(quote, attr + nameAttr.size() + 1);
                if (end > 0) {
                    // The attribute's entities decoded by the XML reader itself.
                    QXmlStreamReader decode("<n v=" + element.mid(attr + nameAttr.size(), end - attr - nameAttr.size() + 1) +
                                            "/>");
                    decode.readNextStartElement();
                    name = decode.attributes().value("v"_L1).toString();
                }
            }
            names << name;
            if (names.size() > 100000)
                throw errors::TooLarge(zip.DisplayName());
        }
        if (last)
            break;
        // Keep what may hold the start of a tag cut by the chunk's end.
        const qsizetype keep = std::max<qsizetype>(from, buffer.size() - 4096);
        buffer.remove(0, std::max<qsizetype>(0, keep));
    }
    zip.Check(stream.get());
    return names;
}

// What an automatic cell style says about numbers: its data style's leading zeros.
struct DataStyles
{
    QHash<QString, int> minIntegerDigits; // number style → digits
    QHash<QString, QString> cellDataStyle; // cell style → number style

    int digitsFor(const QString& cellStyle) const
    {
        return minIntegerDigits.value(cellDataStyle.value(cellStyle), -1);
    }
};

// Reads the text of a paragraph (or a span, link, ...) the reader stands on: text, spans,
// spaces (text:s c="n"), tabs and line breaks; notes and drawings are left out.
void paragraphText(QXmlStreamReader& xml, QString& out)
{
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            out += xml.text();
        } else if (xml.isStartElement()) {
            const QStringView name = xml.name();
            if (name == u"s") {
                bool ok = false;
                const int count = xml.attributes().value("urn:oasis:names:tc:opendocument:xmlns:text:1.0"_L1, "c"_L1).toInt(&ok);
                out += QString(ok ? std::clamp(count, 1, 1000) : 1, u' ');
                xml.skipCurrentElement();
            } else if (name == u"tab") {
                out += u'\t';
                xml.skipCurrentElement();
            } else if (name == u"line-break") {
                out += u'\n';
                xml.skipCurrentElement();
            } else if (name == u"annotation" || name == u"note" || name == u"frame" || name == u"custom-shape" ||
                       name == u"ruby-text" || name == u"bookmark-ref") {
                xml.skipCurrentElement();
            } else {
                ++depth; // spans, links, fields: their text counts
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
}

constexpr QLatin1StringView kOffice("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
constexpr QLatin1StringView kTable("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
constexpr QLatin1StringView kStyle("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
constexpr QLatin1StringView kNumber("urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0");

qint64 repeats(const QXmlStreamAttributes& a, QLatin1StringView name, qint64 cap)
{
    bool ok = false;
    const qint64 n = a.value(kTable, name).toLongLong(&ok);
    return ok && n > 1 ? std::min(n, cap) : 1;
}

} // namespace

OdsSource::OdsSource(std::unique_ptr<QIODevice> device, const QString& displayName, const ZipLimits& limits)
    : m_device(std::move(device)), m_zip(*m_device, displayName, limits)
{
    if (m_zip.Contains(u"META-INF/manifest.xml"_s) &&
        m_zip.ReadAll(u"META-INF/manifest.xml"_s).contains("encryption-data"))
        throw errors::Encrypted(displayName);
    if (!m_zip.Contains(kContent))
        throw errors::NotATable(displayName);
    m_names = scanTableNames(m_zip);
}

OdsSource::~OdsSource() = default;

void OdsSource::ReadRows(int sheet, const RowHandler& onRow)
{
    if (sheet < 0 || sheet >= m_names.size())
        return;
    const double declared = double(std::max<qint64>(1, m_zip.DeclaredSize(kContent)));
    std::unique_ptr<QIODevice> stream = m_zip.Open(kContent);
    QXmlStreamReader xml(stream.get());
    RowSink sink(onRow);
    DataStyles styles;
    QString currentNumberStyle;
    int table = -1;
    bool inSheet = false;
    int tableDepth = 0;
    Row row;
    qint64 rowRepeats = 1;
    qint64 pendingEmptyCells = 0;
    QString text;
    while (!xml.atEnd() && !sink.Stopped()) {
        xml.readNext();
        if (xml.isEndElement()) {
            if (xml.name() == u"table" && xml.namespaceUri() == kTable) {
                --tableDepth;
                if (inSheet && tableDepth == 0)
                    break; // the chosen table is read whole
            } else if (inSheet && xml.name() == u"table-row" && tableDepth == 1) {
                sink.Emit(row, rowRepeats, double(ZipArchive::Unpacked(stream.get())) / declared);
            } else if (xml.name() == u"number-style") {
                currentNumberStyle.clear();
            }
            continue;
        }
        if (!xml.isStartElement())
            continue;
        const QStringView name = xml.name();
        const QXmlStreamAttributes a = xml.attributes();
        if (!inSheet) {
            // Before the body: the data styles that make leading zeros.
            if (name == u"number-style" && xml.namespaceUri() == kNumber) {
                currentNumberStyle = a.value(kStyle, "name"_L1).toString();
            } else if (name == u"number" && xml.namespaceUri() == kNumber && !currentNumberStyle.isEmpty()) {
                bool ok = false;
                const int digits = a.value(kNumber, "min-integer-digits"_L1).toInt(&ok);
                if (ok && a.value(kNumber, "decimal-places"_L1).toInt() == 0)
                    styles.minIntegerDigits.insert(currentNumberStyle, std::clamp(digits, 0, 30));
            } else if (name == u"style" && xml.namespaceUri() == kStyle && !a.value(kStyle, "data-style-name"_L1).isNull()) {
                styles.cellDataStyle.insert(a.value(kStyle, "name"_L1).toString(),
                                            a.value(kStyle, "data-style-name"_L1).toString());
            } else if (name == u"table" && xml.namespaceUri() == kTable) {
                if (++table == sheet) {
                    inSheet = true;
                    tableDepth = 1;
                } else {
                    xml.skipCurrentElement();
                }
            }
            continue;
        }
        if (name == u"table" && xml.namespaceUri() == kTable) {
            ++tableDepth;
            continue;
        }
        if (tableDepth != 1)
            continue;
        if (name == u"table-row") {
            row.clear();
            pendingEmptyCells = 0;
            rowRepeats = repeats(a, "number-rows-repeated"_L1, RowSink::kMaxRows);
        } else if (name == u"table-cell" || name == u"covered-table-cell") {
            const qint64 times = repeats(a, "number-columns-repeated"_L1, RowSink::kMaxColumns);
            const QStringView valueType = a.value(kOffice, "value-type"_L1);
            text.clear();
            bool paragraphs = false;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement()) {
                    if (xml.name() == u"p" || xml.name() == u"h") {
                        if (paragraphs)
                            text += u'\n';
                        paragraphs = true;
                        paragraphText(xml, text);
                    } else {
                        xml.skipCurrentElement(); // notes, drawings, nested tables
                    }
                } else if (xml.isEndElement()) {
                    break;
                }
            }
            Cell c;
            c.Text = text;
            if (valueType == u"float" || valueType == u"percentage" || valueType == u"currency") {
                bool ok = false;
                const double value = a.value(kOffice, "value"_L1).toDouble(&ok);
                c.Number = ok;
                if (ok && !paragraphs) {
                    const int digits = styles.digitsFor(a.value(kTable, "style-name"_L1).toString());
                    if (digits > 0 && value >= 0 && value == std::floor(value) && value < 1e15) {
                        c.Text = QString::number(qint64(value)).rightJustified(digits, u'0');
                        c.Formatted = true;
                    } else {
                        c.Text = GeneralNumber(value);
                    }
                } else if (ok) {
                    // What the file shows differs from the plain number: a format made it.
                    c.Formatted = text != GeneralNumber(value);
                }
            } else if (!paragraphs && valueType == u"boolean") {
                const QStringView v = a.value(kOffice, "boolean-value"_L1);
                c.Text = v == u"true" || v == u"1" ? u"WAHR"_s : u"FALSCH"_s;
            } else if (!paragraphs && valueType == u"date") {
                c.Text = GermanIsoDate(a.value(kOffice, "date-value"_L1).toString());
            } else if (!paragraphs && valueType == u"string" && !a.value(kOffice, "string-value"_L1).isNull()) {
                c.Text = a.value(kOffice, "string-value"_L1).toString();
            }
            const qsizetype room = RowSink::kMaxColumns - qsizetype(row.size());
            if (c.Text.isEmpty()) {
                pendingEmptyCells = std::min<qint64>(pendingEmptyCells + times, room);
                continue;
            }
            if (pendingEmptyCells > 0) {
                row.resize(row.size() + size_t(std::min<qint64>(pendingEmptyCells, room)));
                pendingEmptyCells = 0;
            }
            const qint64 copies = std::min<qint64>(times, RowSink::kMaxColumns - qsizetype(row.size()));
            for (qint64 i = 0; i < copies; ++i)
                row.push_back(c);
        }
    }
    if (sink.Stopped())
        return;
    if (xml.hasError())
        m_zip.Fail(stream.get());
    m_zip.Check(stream.get());
}

} // namespace sheets
