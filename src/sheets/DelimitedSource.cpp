#include "sheets/DelimitedSource.h"

#include "shell/Cp1252.h"
#include "sheets/RowSink.h"
#include "sheets/SheetErrors.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <map>
#include <optional>

namespace sheets {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);

// Excel's "Unicode text" is UTF-16 behind a byte order mark, which tells it whatever the
// chosen encoding says.
std::optional<QStringConverter::Encoding> utf16Bom(QByteArrayView head)
{
    if (head.size() >= 2 && uchar(head[0]) == 0xFF && uchar(head[1]) == 0xFE)
        return QStringConverter::Utf16LE;
    if (head.size() >= 2 && uchar(head[0]) == 0xFE && uchar(head[1]) == 0xFF)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

// Cuts text into records and fields, keeping its state across the chunks of a file.
class FieldCutter
{
public:
    explicit FieldCutter(QChar delimiter) : m_delimiter(delimiter) {}

    // Feeds text; calls onRecord(row) for every record ended in it. Returns false when
    // onRecord said stop.
    template <class OnRecord> bool Feed(QStringView text, OnRecord&& onRecord)
    {
        for (const QChar c : text) {
            if (m_afterCr) {
                m_afterCr = false;
                if (c == u'\n')
                    continue; // CR LF ends one record
            }
            if (m_quoted) {
                if (m_quoteSeen) {
                    m_quoteSeen = false;
                    if (c == u'"') {
                        m_field += u'"';
                        continue;
                    }
                    m_quoted = false; // the closing quote; c is read as outside
                } else if (c == u'"') {
                    m_quoteSeen = true;
                    continue;
                } else {
                    m_field += c;
                    continue;
                }
            }
            if (c == m_delimiter) {
                endField();
            } else if (c == u'\r' || c == u'\n') {
                m_afterCr = c == u'\r';
                endField();
                if (!onRecord(m_row))
                    return false;
                m_row.clear();
            } else if (c == u'"' && m_field.isEmpty() && !m_wasQuoted) {
                m_quoted = true;
                m_wasQuoted = true;
            } else {
                m_field += c;
            }
        }
        return true;
    }

    // The last record when the text does not end with a line break.
    template <class OnRecord> void Finish(OnRecord&& onRecord)
    {
        if (m_quoted)
            m_quoted = false; // an unclosed quote takes the rest of the file
        if (!m_field.isEmpty() || m_wasQuoted || !m_row.empty()) {
            endField();
            onRecord(m_row);
            m_row.clear();
        }
    }

private:
    void endField()
    {
        Cell cell;
        cell.Text = m_field;
        if (!m_wasQuoted && !m_field.isEmpty()) {
            bool digits = m_field.size() <= 30;
            for (const QChar c : m_field)
                digits = digits && c >= u'0' && c <= u'9';
            cell.Number = digits;
        }
        if (m_row.size() < size_t(RowSink::kMaxColumns))
            m_row.push_back(std::move(cell));
        m_field.clear();
        m_wasQuoted = false;
        m_quoteSeen = false;
    }

    QChar m_delimiter;
    Row m_row;
    QString m_field;
    bool m_quoted = false;
    bool m_quoteSeen = false;
    bool m_wasQuoted = false;
    bool m_afterCr = false;
};

bool validUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = p[i];
        int follow = 0;
        if (b < 0x80)
            follow = 0;
        else if (b >= 0xC2 && b <= 0xDF)
            follow = 1;
        else if (b >= 0xE0 && b <= 0xEF)
            follow = 2;
        else if (b >= 0xF0 && b <= 0xF4)
            follow = 3;
        else
            return false;
        if (i + follow >= n)
            return true; // cut by the end of the head: judged by what came before
        for (int k = 1; k <= follow; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        i += follow + 1;
    }
    return true;
}

QString decodeHead(const QByteArray& bytes, TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? QString::fromUtf8(bytes) : Cp1252::decode(bytes);
}

} // namespace

TextOptions GuessTextOptionsOf(const QByteArray& head)
{
    TextOptions options;
    QByteArray body = head;
    QString utf16;
    if (const auto encoding = utf16Bom(body)) {
        QStringDecoder decode(*encoding);
        utf16 = decode.decode(QByteArrayView(body).sliced(2));
    } else if (body.startsWith(kUtf8Bom)) {
        body.remove(0, 3);
        options.Encoding = TextEncoding::Utf8;
    } else {
        options.Encoding = validUtf8(body) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    }
    const QString text = utf16Bom(body) ? utf16 : decodeHead(body, options.Encoding);
    // For each delimiter the number of fields of each of the first records.
    constexpr int kRecords = 50;
    const QChar candidates[] = {u';', u',', u'\t'};
    int bestScore = 0;
    int bestFields = 0;
    for (const QChar d : candidates) {
        std::map<size_t, int> counts;
        int records = 0;
        FieldCutter cutter(d);
        cutter.Feed(text, [&](Row& row) {
            if (!(row.size() == 1 && row.front().Text.isEmpty()))
                ++counts[row.size()];
            return ++records < kRecords;
        });
        int score = 0;
        int fields = 0;
        for (const auto& [n, times] : counts)
            if (n > 1 && times > score) {
                score = times;
                fields = int(n);
            }
        if (score > bestScore || (score == bestScore && score > 0 && fields > bestFields)) {
            bestScore = score;
            bestFields = fields;
            options.Delimiter = d;
        }
    }
    return options;
}

TextOptions GuessTextOptions(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw errors::CannotOpen(errors::DisplayName(path));
    return GuessTextOptionsOf(f.read(65536));
}

DelimitedSource::DelimitedSource(std::unique_ptr<QIODevice> device, const QString& sheetName, const TextOptions& options)
    : m_device(std::move(device)), m_sheetName(sheetName), m_options(options)
{
}

DelimitedSource::~DelimitedSource() = default;

void DelimitedSource::ReadRows(int sheet, const RowHandler& onRow)
{
    if (sheet != 0)
        return;
    if (!m_device->isSequential())
        m_device->seek(0);
    const double size = double(std::max<qint64>(1, m_device->size()));
    RowSink sink(onRow);
    FieldCutter cutter(m_options.Delimiter);
    QStringDecoder utf8(QStringConverter::Utf8);
    std::optional<QStringDecoder> utf16;
    bool first = true;
    qint64 read = 0;
    char buffer[65536];
    auto onRecord = [&](Row& record) { return sink.Emit(record, 1, double(read) / size); };
    for (;;) {
        qint64 n = m_device->read(buffer, sizeof buffer);
        if (n < 0)
            throw errors::CannotOpen(m_sheetName);
        if (n == 0)
            break;
        read += n;
        const char* bytes = buffer;
        if (first) {
            first = false;
            if (n >= 3 && QByteArray::fromRawData(buffer, 3) == kUtf8Bom) {
                bytes += 3;
                n -= 3;
            } else if (const auto encoding = utf16Bom(QByteArrayView(buffer, n))) {
                utf16.emplace(*encoding);
                bytes += 2;
                n -= 2;
            }
        }
        const QString text = utf16                                    ? utf16->decode(QByteArrayView(bytes, n))
                             : m_options.Encoding == TextEncoding::Utf8 ? utf8.decode(QByteArrayView(bytes, n))
                                                                      : Cp1252::decode(bytes, n);
        if (!cutter.Feed(text, onRecord))
            return;
    }
    if (m_options.Encoding == TextEncoding::Utf8) {
        const QString rest = utf8.decode(QByteArrayView());
        if (!cutter.Feed(rest, onRecord))
            return;
    }
    cutter.Finish(onRecord);
}

} // namespace sheets
