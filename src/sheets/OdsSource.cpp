#include "sheets/OdsSource.h"

#include "sheets/NumberFormat.h"
#include "sheets/RowSink.h"
#include "sheets/SheetErrors.h"
#include "sheets/XmlPull.h"

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
// spaces (text:s c="n"), tabs and line breaks; notes and drawings are left out. The text
// is appended as UTF-8.
void paragraphText(xml::PullReader& xml, QByteArray& out)
{
    int depth = 1;
    while (depth > 0 && !xml.AtEnd()) {
        xml.ReadNext();
        if (xml.IsCharacters()) {
            out += xml.Text();
        } else if (xml.IsStartElement()) {
            const QByteArrayView name = xml.Name();
            if (name == "s") {
                bool ok = false;
                const int count = QString::fromUtf8(xml.Attribute("urn:oasis:names:tc:opendocument:xmlns:text:1.0", "c")).toInt(&ok);
                out.append(ok ? std::clamp(count, 1, 1000) : 1, ' ');
                xml.SkipCurrentElement();
            } else if (name == "tab") {
                out += '\t';
                xml.SkipCurrentElement();
            } else if (name == "line-break") {
                out += '\n';
                xml.SkipCurrentElement();
            } else if (name == "annotation" || name == "note" || name == "frame" || name == "custom-shape" ||
                       name == "ruby-text" || name == "bookmark-ref") {
                xml.SkipCurrentElement();
            } else {
                ++depth; // spans, links, fields: their text counts
            }
        } else if (xml.IsEndElement()) {
            --depth;
        }
    }
}

constexpr QByteArrayView kOffice("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
constexpr QByteArrayView kTable("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
constexpr QByteArrayView kStyle("urn:oasis:names:tc:opendocument:xmlns:style:1.0");
constexpr QByteArrayView kNumber("urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0");

QString text(QByteArrayView utf8) { return QString::fromUtf8(utf8); }

qint64 repeats(const xml::PullReader& xml, QByteArrayView name, qint64 cap)
{
    const QByteArrayView v = xml.Attribute(kTable, name);
    if (v.isNull())
        return 1;
    bool ok = false;
    const qint64 n = text(v).toLongLong(&ok);
    return ok && n > 1 ? std::min(n, cap) : 1;
}

enum class ValueType { Other, Number, Boolean, Date, String };

ValueType valueTypeOf(QByteArrayView v)
{
    if (v == "float" || v == "percentage" || v == "currency")
        return ValueType::Number;
    if (v == "boolean")
        return ValueType::Boolean;
    if (v == "date")
        return ValueType::Date;
    if (v == "string")
        return ValueType::String;
    return ValueType::Other;
}

// An attribute kept past the reader's next token; null when the element has none.
struct KeptValue
{
    std::string bytes;
    bool present = false;

    void Keep(QByteArrayView v)
    {
        present = !v.isNull();
        bytes.assign(v.data() ? v.data() : "", size_t(v.size()));
    }
    QString Text() const { return QString::fromUtf8(bytes.data(), qsizetype(bytes.size())); }
};

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
    xml::PullReader xml(stream.get());
    RowSink sink(onRow);
    DataStyles styles;
    QString currentNumberStyle;
    int table = -1;
    bool inSheet = false;
    int tableDepth = 0;
    Row row;
    qint64 rowRepeats = 1;
    qint64 pendingEmptyCells = 0;
    QByteArray bytes;
    KeptValue officeValue, styleName, booleanValue, dateValue, stringValue;
    while (!xml.AtEnd() && !sink.Stopped()) {
        xml.ReadNext();
        if (xml.IsEndElement()) {
            if (xml.Name() == "table" && xml.NamespaceUri() == kTable) {
                --tableDepth;
                if (inSheet && tableDepth == 0)
                    break; // the chosen table is read whole
            } else if (inSheet && xml.Name() == "table-row" && tableDepth == 1) {
                sink.Emit(row, rowRepeats, double(ZipArchive::Unpacked(stream.get())) / declared);
            } else if (xml.Name() == "number-style") {
                currentNumberStyle.clear();
            }
            continue;
        }
        if (!xml.IsStartElement())
            continue;
        const QByteArrayView name = xml.Name();
        if (!inSheet) {
            // Before the body: the data styles that make leading zeros.
            if (name == "number-style" && xml.NamespaceUri() == kNumber) {
                currentNumberStyle = text(xml.Attribute(kStyle, "name"));
            } else if (name == "number" && xml.NamespaceUri() == kNumber && !currentNumberStyle.isEmpty()) {
                bool ok = false;
                const int digits = text(xml.Attribute(kNumber, "min-integer-digits")).toInt(&ok);
                if (ok && text(xml.Attribute(kNumber, "decimal-places")).toInt() == 0)
                    styles.minIntegerDigits.insert(currentNumberStyle, std::clamp(digits, 0, 30));
            } else if (name == "style" && xml.NamespaceUri() == kStyle && !xml.Attribute(kStyle, "data-style-name").isNull()) {
                styles.cellDataStyle.insert(text(xml.Attribute(kStyle, "name")), text(xml.Attribute(kStyle, "data-style-name")));
            } else if (name == "table" && xml.NamespaceUri() == kTable) {
                if (++table == sheet) {
                    inSheet = true;
                    tableDepth = 1;
                } else {
                    xml.SkipCurrentElement();
                }
            }
            continue;
        }
        if (name == "table" && xml.NamespaceUri() == kTable) {
            ++tableDepth;
            continue;
        }
        if (tableDepth != 1)
            continue;
        if (name == "table-row") {
            row.clear();
            pendingEmptyCells = 0;
            rowRepeats = repeats(xml, "number-rows-repeated", RowSink::kMaxRows);
        } else if (name == "table-cell" || name == "covered-table-cell") {
            const qint64 times = repeats(xml, "number-columns-repeated", RowSink::kMaxColumns);
            // Only what the cell's kind needs is kept past the reader's next token.
            const ValueType type = valueTypeOf(xml.Attribute(kOffice, "value-type"));
            if (type == ValueType::Number) {
                officeValue.Keep(xml.Attribute(kOffice, "value"));
                styleName.Keep(xml.Attribute(kTable, "style-name"));
            } else if (type == ValueType::Boolean) {
                booleanValue.Keep(xml.Attribute(kOffice, "boolean-value"));
            } else if (type == ValueType::Date) {
                dateValue.Keep(xml.Attribute(kOffice, "date-value"));
            } else if (type == ValueType::String) {
                stringValue.Keep(xml.Attribute(kOffice, "string-value"));
            }
            bytes.resize(0);
            bool paragraphs = false;
            while (!xml.AtEnd()) {
                xml.ReadNext();
                if (xml.IsStartElement()) {
                    if (xml.Name() == "p" || xml.Name() == "h") {
                        if (paragraphs)
                            bytes += '\n';
                        paragraphs = true;
                        paragraphText(xml, bytes);
                    } else {
                        xml.SkipCurrentElement(); // notes, drawings, nested tables
                    }
                } else if (xml.IsEndElement()) {
                    break;
                }
            }
            Cell c;
            c.Text = QString::fromUtf8(bytes);
            if (type == ValueType::Number) {
                bool ok = false;
                const double value = officeValue.Text().toDouble(&ok);
                c.Number = ok;
                if (ok && !paragraphs) {
                    const int digits = styles.digitsFor(styleName.Text());
                    if (digits > 0 && value >= 0 && value == std::floor(value) && value < 1e15) {
                        c.Text = QString::number(qint64(value)).rightJustified(digits, u'0');
                        c.Formatted = true;
                    } else {
                        c.Text = GeneralNumber(value);
                    }
                } else if (ok) {
                    // What the file shows differs from the plain number: a format made it.
                    c.Formatted = c.Text != GeneralNumber(value);
                }
            } else if (!paragraphs && type == ValueType::Boolean) {
                const std::string& v = booleanValue.bytes;
                c.Text = v == "true" || v == "1" ? u"WAHR"_s : u"FALSCH"_s;
            } else if (!paragraphs && type == ValueType::Date) {
                c.Text = GermanIsoDate(dateValue.Text());
            } else if (!paragraphs && type == ValueType::String && stringValue.present) {
                c.Text = stringValue.Text();
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
            for (qint64 i = 1; i < copies; ++i)
                row.push_back(c);
            if (copies > 0)
                row.push_back(std::move(c));
        }
    }
    if (sink.Stopped())
        return;
    if (xml.HasError())
        m_zip.Fail(stream.get());
    m_zip.Check(stream.get());
}

} // namespace sheets
