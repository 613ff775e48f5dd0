#include "sheets/XlsxSource.h"

#include "sheets/RowSink.h"
#include "sheets/SheetErrors.h"
#include "sheets/XmlPull.h"
#include "sheets/XmlText.h"

#include <QDir>
#include <QHash>
#include <QXmlStreamReader>

namespace sheets {

class XlsxSource::SharedStrings
{
public:
    void Add(const QString& text)
    {
        m_starts.push_back(quint64(m_chars.size()));
        m_chars += text;
    }
    QString At(qint64 index) const
    {
        if (index < 0 || quint64(index) >= m_starts.size())
            return QString();
        const quint64 start = m_starts[size_t(index)];
        const quint64 end = size_t(index) + 1 < m_starts.size() ? m_starts[size_t(index) + 1] : quint64(m_chars.size());
        return m_chars.mid(qsizetype(start), qsizetype(end - start));
    }
    void Squeeze() { m_chars.squeeze(); m_starts.shrink_to_fit(); }

private:
    QString m_chars;
    std::vector<quint64> m_starts;
};

namespace {

using namespace Qt::StringLiterals;

// A relationship's target, relative to the folder of the part that names it.
QString resolveTarget(const QString& partFolder, const QString& target)
{
    QString t = target;
    t.replace(u'\\', u'/');
    if (t.startsWith(u'/'))
        return QDir::cleanPath(t.mid(1));
    return QDir::cleanPath(partFolder.isEmpty() ? t : partFolder + u'/' + t);
}

QString folderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

struct Relationship
{
    QString type;
    QString target;
};

QHash<QString, Relationship> readRelationships(ZipArchive& zip, const QString& entry)
{
    QHash<QString, Relationship> rels;
    if (!zip.Contains(entry))
        return rels;
    QXmlStreamReader xml(zip.ReadAll(entry));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"Relationship") {
            const QXmlStreamAttributes a = xml.attributes();
            if (a.value("TargetMode"_L1) != u"External")
                rels.insert(a.value("Id"_L1).toString(), {a.value("Type"_L1).toString(), a.value("Target"_L1).toString()});
        }
    }
    if (xml.hasError())
        throw errors::Damaged(zip.DisplayName());
    return rels;
}

// The text of a string item (<si> or <is>): its <t>, or the <t> of every rich text run;
// phonetic guides (<rPh>) are left out. The reader stands on the item's start.
QString itemText(xml::PullReader& xml)
{
    QByteArray text;
    int depth = 1;
    while (depth > 0 && !xml.AtEnd()) {
        xml.ReadNext();
        if (xml.IsStartElement()) {
            if (xml.Name() == "t")
                text += xml.ReadElementText(true);
            else if (xml.Name() == "rPh" || xml.Name() == "phoneticPr")
                xml.SkipCurrentElement();
            else
                ++depth;
        } else if (xml.IsEndElement()) {
            --depth;
        }
    }
    return xml::DecodeOoxmlEscapes(QString::fromUtf8(text));
}

// "BC12" → column 54 (counted from 0), -1 when the reference has no letters.
qsizetype columnOf(QByteArrayView ref)
{
    qsizetype col = 0;
    qsizetype letters = 0;
    for (const char c : ref) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 'A' && u <= 'Z')
            col = col * 26 + (u - 'A' + 1);
        else if (u >= 'a' && u <= 'z')
            col = col * 26 + (u - 'a' + 1);
        else
            break;
        if (++letters > 4)
            return RowSink::kMaxColumns; // beyond any sheet
    }
    return letters == 0 ? -1 : col - 1;
}

bool isTrue(QStringView v)
{
    return v == u"1" || v == u"true";
}

const NumberFormat kGeneral;

} // namespace

XlsxSource::XlsxSource(std::unique_ptr<QIODevice> device, const QString& displayName, const ZipLimits& limits)
    : m_device(std::move(device)), m_zip(*m_device, displayName, limits)
{
    loadWorkbook();
}

XlsxSource::~XlsxSource() = default;

void XlsxSource::loadWorkbook()
{
    QString workbook = u"xl/workbook.xml"_s;
    for (const Relationship& r : readRelationships(m_zip, u"_rels/.rels"_s))
        if (r.type.endsWith(u"/officeDocument"))
            workbook = resolveTarget(QString(), r.target);
    if (!m_zip.Contains(workbook))
        throw errors::NotATable(m_zip.DisplayName());
    const QString folder = folderOf(workbook);
    const QHash<QString, Relationship> rels =
        readRelationships(m_zip, folder + u"/_rels/"_s + workbook.mid(folder.size() + 1) + u".rels"_s);
    for (const Relationship& r : rels) {
        if (r.type.endsWith(u"/sharedStrings"))
            m_sharedStringsEntry = resolveTarget(folder, r.target);
        else if (r.type.endsWith(u"/styles"))
            m_stylesEntry = resolveTarget(folder, r.target);
    }
    QXmlStreamReader xml(m_zip.ReadAll(workbook));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"workbookPr") {
            m_date1904 = isTrue(a.value("date1904"_L1));
        } else if (xml.name() == u"sheet") {
            // The relationship id's attribute is r:id, whatever the prefix is called.
            QString id;
            for (const QXmlStreamAttribute& attr : a)
                if (attr.name() == u"id" && !attr.namespaceUri().isEmpty())
                    id = attr.value().toString();
            const auto rel = rels.constFind(id);
            if (rel == rels.constEnd() || !rel->type.endsWith(u"/worksheet"))
                continue; // a chart sheet or a dialog sheet holds no rows
            m_sheets.push_back({a.value("name"_L1).toString(), resolveTarget(folder, rel->target)});
        }
    }
    if (xml.hasError())
        throw errors::Damaged(m_zip.DisplayName());
}

void XlsxSource::loadSharedStrings()
{
    m_strings = std::make_unique<SharedStrings>();
    if (m_sharedStringsEntry.isEmpty() || !m_zip.Contains(m_sharedStringsEntry))
        return;
    std::unique_ptr<QIODevice> stream = m_zip.Open(m_sharedStringsEntry);
    xml::PullReader xml(stream.get());
    while (!xml.AtEnd()) {
        xml.ReadNext();
        if (xml.IsStartElement() && xml.Name() == "si")
            m_strings->Add(itemText(xml));
    }
    if (xml.HasError())
        m_zip.Fail(stream.get());
    m_zip.Check(stream.get());
    m_strings->Squeeze();
}

void XlsxSource::loadStyles()
{
    if (m_stylesEntry.isEmpty() || !m_zip.Contains(m_stylesEntry))
        return;
    QHash<int, QString> codes;
    std::vector<int> xfFormats;
    QXmlStreamReader xml(m_zip.ReadAll(m_stylesEntry));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"numFmt") {
            codes.insert(xml.attributes().value("numFmtId"_L1).toInt(), xml.attributes().value("formatCode"_L1).toString());
        } else if (xml.name() == u"cellXfs") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"xf")
                    xfFormats.push_back(xml.attributes().value("numFmtId"_L1).toInt());
                xml.skipCurrentElement();
            }
        }
    }
    if (xml.hasError())
        throw errors::Damaged(m_zip.DisplayName());
    for (const int id : xfFormats)
        m_styleFormats.push_back(codes.contains(id) ? ParseFormatCode(codes.value(id)) : BuiltinFormat(id));
}

QStringList XlsxSource::SheetNames() const
{
    QStringList names;
    for (const Sheet& s : m_sheets)
        names << s.name;
    return names;
}

XlsxSource::CellKind XlsxSource::kindOf(QByteArrayView type)
{
    if (type == "s")
        return CellKind::Shared;
    if (type == "inlineStr")
        return CellKind::Inline;
    if (type == "str")
        return CellKind::Formula;
    if (type == "b")
        return CellKind::Boolean;
    if (type == "e")
        return CellKind::Error;
    if (type == "d")
        return CellKind::Date;
    return CellKind::Number;
}

Cell XlsxSource::cell(CellKind type, int style, const QString& value, const QString& inlineText) const
{
    Cell c;
    if (type == CellKind::Shared) {
        bool ok = false;
        const qint64 index = value.trimmed().toLongLong(&ok);
        if (ok)
            c.Text = m_strings->At(index);
    } else if (type == CellKind::Inline) {
        c.Text = inlineText;
    } else if (type == CellKind::Formula) {
        c.Text = xml::DecodeOoxmlEscapes(value);
    } else if (type == CellKind::Boolean) {
        if (!value.isEmpty())
            c.Text = isTrue(value.trimmed()) ? u"WAHR"_s : u"FALSCH"_s;
    } else if (type == CellKind::Error) {
        c.Text = value;
    } else if (type == CellKind::Date) {
        c.Text = GermanIsoDate(value);
    } else if (!value.isEmpty()) {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!ok) {
            c.Text = value;
            return c;
        }
        const NumberFormat& format = style >= 0 && size_t(style) < m_styleFormats.size() ? m_styleFormats[size_t(style)]
                                                                                        : kGeneral;
        c.Text = format.Render(number, m_date1904, &c.Formatted);
        c.Number = !format.IsDateOrTime() || !c.Formatted;
    }
    return c;
}

void XlsxSource::ReadRows(int sheet, const RowHandler& onRow)
{
    if (sheet < 0 || size_t(sheet) >= m_sheets.size())
        return;
    if (!m_zip.Contains(m_sheets[size_t(sheet)].entry))
        throw errors::Damaged(m_zip.DisplayName());
    if (!m_loaded) {
        loadSharedStrings();
        loadStyles();
        m_loaded = true;
    }
    const QString& entry = m_sheets[size_t(sheet)].entry;
    const double declared = double(std::max<qint64>(1, m_zip.DeclaredSize(entry)));
    std::unique_ptr<QIODevice> stream = m_zip.Open(entry);
    xml::PullReader xml(stream.get());
    RowSink sink(onRow);
    Row row;
    qint64 rowNumber = 0; // of the row being read, from 1
    QString value, inlineText;
    while (!xml.AtEnd() && !sink.Stopped()) {
        xml.ReadNext();
        if (xml.IsEndElement() && xml.Name() == "row") {
            sink.Emit(row, 1, double(ZipArchive::Unpacked(stream.get())) / declared);
            continue;
        }
        if (!xml.IsStartElement())
            continue;
        if (xml.Name() == "row") {
            bool ok = false;
            const qint64 r = xml.Attribute({}, "r").toLongLong(&ok);
            const qint64 next = ok && r > rowNumber ? std::min(r, RowSink::kMaxRows + 1) : rowNumber + 1;
            sink.Empty(next - rowNumber - 1);
            rowNumber = next;
            row.clear();
        } else if (xml.Name() == "c") {
            qsizetype col = columnOf(xml.Attribute({}, "r"));
            if (col < 0)
                col = qsizetype(row.size());
            const CellKind type = kindOf(xml.Attribute({}, "t"));
            bool styled = false;
            const int style = xml.Attribute({}, "s").toInt(&styled);
            value.clear();
            inlineText.clear();
            while (!xml.AtEnd()) {
                xml.ReadNext();
                if (xml.IsStartElement()) {
                    if (xml.Name() == "v")
                        value = QString::fromUtf8(xml.ReadElementText(false));
                    else if (xml.Name() == "is")
                        inlineText = itemText(xml);
                    else
                        xml.SkipCurrentElement(); // the formula: its cached value is what the sheet shows
                } else if (xml.IsEndElement() && xml.Name() == "c") {
                    break;
                }
            }
            if (col >= RowSink::kMaxColumns)
                continue;
            Cell c = cell(type, styled ? style : -1, value, inlineText);
            if (c.Text.isEmpty())
                continue;
            if (size_t(col) >= row.size())
                row.resize(size_t(col) + 1);
            row[size_t(col)] = std::move(c);
        }
    }
    if (sink.Stopped())
        return;
    if (xml.HasError())
        m_zip.Fail(stream.get());
    m_zip.Check(stream.get());
}

} // namespace sheets
