#include "labels/MoCatalog.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <optional>

namespace {

constexpr quint32 kMagic = 0x950412de;

class Reader
{
public:
    Reader(const QByteArray& bytes, bool swapped) : m_bytes(bytes), m_swapped(swapped) {}

    std::optional<quint32> word(qint64 at) const
    {
        if (at < 0 || at + 4 > m_bytes.size())
            return std::nullopt;
        const auto* p = reinterpret_cast<const uchar*>(m_bytes.constData() + at);
        const quint32 le = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
        const quint32 be = quint32(p[3]) | quint32(p[2]) << 8 | quint32(p[1]) << 16 | quint32(p[0]) << 24;
        return m_swapped ? be : le;
    }

    // String i of the table at offset: its length and place, both inside the file.
    std::optional<QByteArray> string(quint32 table, quint32 i) const
    {
        const qint64 entry = qint64(table) + qint64(i) * 8;
        const auto length = word(entry);
        const auto offset = word(entry + 4);
        if (!length || !offset || qint64(*offset) + qint64(*length) > m_bytes.size())
            return std::nullopt;
        return m_bytes.mid(*offset, *length);
    }

private:
    const QByteArray& m_bytes;
    bool m_swapped;
};

// The charset named in the catalogue's header ("Content-Type: text/plain; charset=UTF-8").
QByteArray charsetOf(const QByteArray& header)
{
    for (const QByteArray& line : header.split('\n')) {
        const qsizetype at = line.toLower().indexOf("charset=");
        if (line.toLower().startsWith("content-type:") && at >= 0)
            return line.mid(at + 8).trimmed();
    }
    return "UTF-8";
}

} // namespace

MoCatalog MoCatalog::FromBytes(const QByteArray& bytes)
{
    MoCatalog catalog;
    const auto magic = Reader(bytes, false).word(0);
    if (!magic)
        return catalog;
    bool swapped = false;
    if (*magic != kMagic) {
        swapped = true;
        if (Reader(bytes, true).word(0) != kMagic)
            return catalog;
    }
    const Reader r(bytes, swapped);
    const auto count = r.word(8);
    const auto originals = r.word(12);
    const auto translations = r.word(16);
    if (!count || !originals || !translations || qint64(*count) * 8 > bytes.size())
        return catalog;
    QList<std::pair<QByteArray, QByteArray>> pairs;
    QByteArray header;
    // msgfmt writes every string once; entries that name the same bytes over and over
    // would make a small file take gigabytes.
    const qint64 stringLimit = 4 * qint64(bytes.size());
    qint64 stringBytes = 0;
    for (quint32 i = 0; i < *count; ++i) {
        std::optional<QByteArray> id = r.string(*originals, i);
        std::optional<QByteArray> text = r.string(*translations, i);
        if (!id || !text)
            return MoCatalog();
        stringBytes += id->size() + text->size();
        if (stringBytes > stringLimit)
            return MoCatalog();
        if (id->isEmpty()) {
            header = *text;
            continue;
        }
        // Plural entries: the singular is the key, its first form the translation.
        const qsizetype idEnd = id->indexOf('\0');
        if (idEnd >= 0)
            id->truncate(idEnd);
        const qsizetype textEnd = text->indexOf('\0');
        if (textEnd >= 0)
            text->truncate(textEnd);
        if (!text->isEmpty())
            pairs.append({*id, *text});
    }
    // Each translation on its own: a broken sequence at the end of one must not run into
    // the next. One that does not decode is no translation, and the message stays.
    QStringDecoder decode(charsetOf(header).constData(), QStringConverter::Flag::Stateless);
    if (!decode.isValid())
        decode = QStringDecoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    for (const auto& [id, text] : pairs) {
        decode.resetState(); // also forgets the errors of the one before
        const QString translation = decode(text);
        if (!decode.hasError() && !translation.isEmpty())
            catalog.m_messages.insert(id, translation);
    }
    return catalog;
}

MoCatalog MoCatalog::FromFile(const QString& fileName)
{
    QFile f(fileName);
    if (fileName.isEmpty() || !f.open(QIODevice::ReadOnly))
        return MoCatalog();
    return FromBytes(f.readAll());
}

QString MoCatalog::Translate(const QString& message) const
{
    return m_messages.value(message.toUtf8(), message);
}

QString GermanCatalogFile(const QString& domain, const QStringList& dataFolders)
{
    for (const QString& folder : dataFolders) {
        const QString file = QDir(folder).filePath(QStringLiteral("locale/de/LC_MESSAGES/%1.mo").arg(domain));
        if (QFile::exists(file))
            return file;
    }
    return QString();
}

MoCatalog LabelDescriptionsCatalog()
{
    return MoCatalog::FromFile(GermanCatalogFile(
        QStringLiteral("glabels-3.0"), QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)));
}
