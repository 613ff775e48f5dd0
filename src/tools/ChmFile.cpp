#include "tools/ChmFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>
#include <bit>
#include <optional>
#include <chm_lib.h>

namespace {
int collectPath(::chmFile*, chmUnitInfo* ui, void* context)
{
    const QString path = QString::fromUtf8(ui->path);
    if (!path.endsWith(u'/'))
        static_cast<QStringList*>(context)->append(path);
    return CHM_ENUMERATOR_CONTINUE;
}

quint32 dword(QByteArrayView bytes, qsizetype at)
{
    if (at < 0 || at + 4 > bytes.size())
        return 0;
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

QString cString(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at >= bytes.size())
        return QString();
    const qsizetype end = bytes.indexOf('\0', at);
    return QString::fromUtf8(bytes.mid(at, (end < 0 ? bytes.size() : end) - at));
}

// A number of the directory as chmlib reads it: seven bits a byte, most significant
// first, as many bytes as are marked, wrapping; nothing when it runs past the end.
std::optional<quint64> encint(QByteArrayView bytes, qsizetype& at)
{
    quint64 value = 0;
    while (at < bytes.size()) {
        const auto c = quint8(bytes[at++]);
        value = (value << 7) + (c & 0x7F);
        if (!(c & 0x80))
            return value;
    }
    return std::nullopt;
}

// chmlib reads the compression's reset table and control data while it opens the file.
// It looks names up without regard to case and reads any entry whose space is not 1
// (compressed) the way it reads compressed data, dividing by a block length it has not
// read yet; so an entry of those names in any other space than 0 or 1 kills the process.
// And it divides by half the control data's window: a window below two kills it too.
// So every entry of those names that chmlib would read must pass before it sees the file.
bool plausibleCompressionEntries(QFile& file, const QByteArray& head, const QByteArray& dir, quint64 dirOffset)
{
    static const QByteArray controlData = QByteArray("::DataSpace/Storage/MSCompressed/ControlData").toLower();
    static const QByteArray resetTable =
        QByteArray("::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable")
            .toLower();
    const quint64 size = quint64(file.size());
    const quint64 dataOffset = dword(head, 0x04) == 3 && dword(head, 0x08) >= 0x60 && head.size() >= 0x60
                                   ? qFromLittleEndian<quint64>(head.constData() + 0x58)
                                   : dirOffset + quint64(dir.size());
    const QByteArray names = dir.toLower();  // same offsets, ASCII letters folded as chmlib compares them
    struct Entry
    {
        quint64 space, start, length;
    };
    auto entryAfter = [&dir](qsizetype at) -> std::optional<Entry> {
        const std::optional<quint64> space = encint(dir, at), start = encint(dir, at), length = encint(dir, at);
        if (!space || !start || !length)
            return std::nullopt;
        return Entry{*space, *start, *length};
    };
    for (qsizetype at = names.indexOf(resetTable); at >= 0; at = names.indexOf(resetTable, at + 1)) {
        const std::optional<Entry> e = entryAfter(at + resetTable.size());
        if (!e || e->space > 1)
            return false;
    }
    for (qsizetype at = names.indexOf(controlData); at >= 0; at = names.indexOf(controlData, at + 1)) {
        const std::optional<Entry> e = entryAfter(at + controlData.size());
        if (!e || e->space > 1)
            return false;
        if (e->space == 1 || e->length > 0x100)
            continue;  // chmlib does not read it then
        if (e->length < 0x18 || dataOffset > size || e->start > size - dataOffset || e->length > size - dataOffset - e->start ||
            !file.seek(qint64(dataOffset + e->start)))
            return false;
        const QByteArray control = file.read(qint64(e->length));
        // Whether chmlib takes the data or not, it divides by half the window, counted in
        // bytes or, for version 2, in 32 KB units (wrapping as its 32-bit field does).
        const quint32 window = dword(control, 16);
        if (control.size() != qsizetype(e->length) || window < 2 || (dword(control, 8) == 2 && window * 0x8000u < 2))
            return false;
    }
    return true;
}

// chmlib walks the directory's chunks by the numbers they hold: the listing chunks by
// "next chunk" from the first one, a lookup down the index chunks from the root. It
// neither bounds those walks nor checks a chunk's free space against its size, so a
// damaged directory would make it walk for ever or read past its buffer. Every chunk on
// those walks must lie inside the directory, with its free space inside the chunk, and
// no walk may come back to a chunk it has passed.
bool plausibleChunkLinks(QByteArrayView chunkBytes, quint64 chunkSize, quint64 chunks, qint32 indexRoot, qint32 indexHead)
{
    constexpr quint32 kListingHeader = 0x14, kIndexHeader = 0x08, kMaxPathLength = 512;
    auto chunk = [&](qint32 n) { return chunkBytes.sliced(qsizetype(n) * qsizetype(chunkSize), qsizetype(chunkSize)); };
    auto inside = [&](qint64 n) { return n >= 0 && quint64(n) < chunks; };
    auto freeSpaceFits = [&](QByteArrayView c, quint32 header) {
        return chunkSize >= header && dword(c, 4) <= chunkSize - header;
    };

    QSet<qint32> listed;
    for (qint32 n = indexHead; n != -1;) {
        if (!inside(n) || listed.contains(n))
            return false;
        listed.insert(n);
        const QByteArrayView c = chunk(n);
        if (!c.startsWith("PMGL"))
            break;  // chmlib stops there
        if (!freeSpaceFits(c, kListingHeader))
            return false;
        n = qint32(dword(c, 0x10));
    }

    // Index chunks form a tree: no child may be its own ancestor. The walk keeps the index
    // chunks on its path, each with the place of its next entry (no recursion: a damaged
    // file may chain thousands of them).
    enum class Mark : quint8 { None, OnPath, Done };
    QList<Mark> marks(qsizetype(chunks), Mark::None);
    struct Step
    {
        qint32 chunk;
        qsizetype at;
    };
    QList<Step> path;
    auto enter = [&](qint32 n) {
        if (!inside(n) || marks[n] == Mark::OnPath)
            return false;
        if (marks[n] == Mark::Done)
            return true;
        const QByteArrayView c = chunk(n);
        if (c.startsWith("PMGI")) {
            if (!freeSpaceFits(c, kIndexHeader))
                return false;
            marks[n] = Mark::OnPath;
            path.append({n, kIndexHeader});
            return true;
        }
        marks[n] = Mark::Done;
        // A lookup ends at a listing chunk, or fails at any other.
        return !c.startsWith("PMGL") || freeSpaceFits(c, kListingHeader);
    };
    if (!enter(indexRoot < 0 ? indexHead : indexRoot))
        return false;
    while (!path.isEmpty()) {
        const qint32 n = path.last().chunk;
        qsizetype at = path.last().at;
        const QByteArrayView c = chunk(n);
        std::optional<quint64> nameLength;
        if (at < qsizetype(chunkSize - dword(c, 4)) && !(nameLength = encint(c, at)))
            return false;
        if (!nameLength || *nameLength > kMaxPathLength) {  // the entries end here, or chmlib's lookup does
            marks[n] = Mark::Done;
            path.removeLast();
            continue;
        }
        at += qsizetype(*nameLength);
        const std::optional<quint64> child = encint(c, at);
        if (!child)
            return false;
        path.last().at = at;
        if (qint32(*child) != -1 && !enter(qint32(*child)))
            return false;
    }
    return true;
}

// chmlib takes the size of a directory chunk from the file's directory header and
// allocates a buffer of that size for every lookup, so a damaged file could ask for
// gigabytes again and again. The chunks must fit into the directory, and it into the file.
bool plausibleDirectory(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const quint64 size = quint64(file.size());
    const QByteArray head = file.read(0x60);
    if (head.size() < 0x58 || !head.startsWith("ITSF"))
        return false;
    const quint64 dirOffset = qFromLittleEndian<quint64>(head.constData() + 0x48);
    const quint64 dirLength = qFromLittleEndian<quint64>(head.constData() + 0x50);
    if (dirOffset > size || dirLength > size - dirOffset || !file.seek(qint64(dirOffset)))
        return false;
    const QByteArray dir = file.read(qint64(dirLength));
    if (dir.size() < 0x30 || quint64(dir.size()) != dirLength || !dir.startsWith("ITSP"))
        return false;
    const quint64 headerLength = dword(dir, 0x08), chunkSize = dword(dir, 0x10), chunks = dword(dir, 0x2C);
    if (chunkSize == 0 || chunks == 0 || headerLength > dirLength || chunks > (dirLength - headerLength) / chunkSize)
        return false;
    return plausibleChunkLinks(QByteArrayView(dir).sliced(qsizetype(headerLength), qsizetype(chunkSize * chunks)), chunkSize,
                               chunks, qint32(dword(dir, 0x1C)), qint32(dword(dir, 0x20))) &&
           plausibleCompressionEntries(file, head, dir, dirOffset);
}

// Sitemap texts come with HTML entities; the help pages use only the common ones.
QString decodeEntities(QString text)
{
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}
} // namespace

ChmFile::ChmFile(const QString& fileName)
{
    if (!plausibleDirectory(fileName))
        return;
    m_chm = chm_open(fileName.toLocal8Bit().constData());
    if (!m_chm)
        return;
    m_lzxUsable = lzxWindowUsable();
    chm_enumerate(m_chm, CHM_ENUMERATE_ALL, collectPath, &m_paths);
    readSystem();
    readContextMap();
    readContents();
}

ChmFile::~ChmFile()
{
    if (m_chm)
        chm_close(m_chm);
}

bool ChmFile::Contains(const QString& path) const
{
    if (!m_chm)
        return false;
    chmUnitInfo ui;
    return chm_resolve_object(m_chm, path.toUtf8().constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

QByteArray ChmFile::Read(const QString& path) const
{
    if (!m_chm)
        return QByteArray();
    chmUnitInfo ui;
    if (chm_resolve_object(m_chm, path.toUtf8().constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return QByteArray();
    if (ui.length == 0)
        return QByteArray("");
    // chmlib reads every space but 0 as compressed data.
    if (ui.space != CHM_UNCOMPRESSED && (ui.space != CHM_COMPRESSED || !m_lzxUsable))
        return QByteArray();
    // The length comes from the file's directory: a damaged file may name any 64-bit
    // size, which would wrap to a negative buffer size or ask for gigabytes. The pages of
    // a help file are small.
    if (ui.length > kMaxObjectSize)
        return QByteArray();
    QByteArray bytes(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    const LONGINT64 got = chm_retrieve_object(m_chm, &ui, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                                              static_cast<LONGINT64>(ui.length));
    if (got <= 0)
        return QByteArray();
    bytes.truncate(static_cast<qsizetype>(got));
    return bytes;
}

// chmlib sets up its LZX decoder from the window size in the compression's control data
// only when the first compressed object is read, and uses the decoder without checking
// that the set-up worked: a window outside 2^15 .. 2^21 crashes it. So the control data
// is checked here, with the rules chmlib applies to it, before anything compressed is read.
bool ChmFile::lzxWindowUsable() const
{
    chmUnitInfo ui;
    if (chm_resolve_object(m_chm, "::DataSpace/Storage/MSCompressed/ControlData", &ui) != CHM_RESOLVE_SUCCESS ||
        ui.space != CHM_UNCOMPRESSED || ui.length < 24 || ui.length > 4096)
        return false;
    QByteArray control(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    if (chm_retrieve_object(m_chm, &ui, reinterpret_cast<unsigned char*>(control.data()), 0,
                            static_cast<LONGINT64>(ui.length)) != static_cast<LONGINT64>(ui.length))
        return false;
    const quint32 version = dword(control, 8);
    quint32 reset = dword(control, 12), window = dword(control, 16);
    if (version == 2) {
        reset *= 0x8000u;  // counted in 32 KB units; wraps as chmlib's 32-bit fields do
        window *= 0x8000u;
    }
    if (window < 2)
        return false;
    const int bits = std::countr_zero(window);  // chmlib takes the lowest set bit
    if (bits < 15 || bits > 21)
        return false;
    // Reading a compressed object chmlib divides by the blocks between resets and by the
    // block length of the reset table: neither may be 0, and the block length is a size
    // it allocates.
    if (quint64(reset / (window / 2)) * dword(control, 20) == 0)
        return false;
    static const char* const kResetTable =
        "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
    if (chm_resolve_object(m_chm, kResetTable, &ui) != CHM_RESOLVE_SUCCESS || ui.space != CHM_UNCOMPRESSED ||
        ui.length < 0x28 || ui.length > 4096)
        return false;
    QByteArray table(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    if (chm_retrieve_object(m_chm, &ui, reinterpret_cast<unsigned char*>(table.data()), 0,
                            static_cast<LONGINT64>(ui.length)) != static_cast<LONGINT64>(ui.length))
        return false;
    // chmlib keeps a buffer of one block for each cached block: a block is at most an LZX
    // window (2 MB), whatever a damaged table claims.
    const quint64 blockLength = qFromLittleEndian<quint64>(table.constData() + 0x20);
    return blockLength != 0 && blockLength <= (quint64(1) << 21);
}

// #SYSTEM: a version dword, then records of code, length and data. Code 0 names the
// contents file, code 2 the default topic.
void ChmFile::readSystem()
{
    const QByteArray sys = Read(QStringLiteral("/#SYSTEM"));
    qsizetype at = 4;
    while (at + 4 <= sys.size()) {
        const quint16 code = qFromLittleEndian<quint16>(sys.constData() + at);
        const quint16 len = qFromLittleEndian<quint16>(sys.constData() + at + 2);
        const QString value = cString(sys.mid(at + 4, len), 0);
        if (code == 0)
            m_contentsFile = archivePath(value);
        else if (code == 2)
            m_defaultTopic = archivePath(value);
        at += 4 + len;
    }
}

// #IVB: a dword with the size of the entries, then pairs of context number and offset
// of the topic's name in #STRINGS.
void ChmFile::readContextMap()
{
    const QByteArray ivb = Read(QStringLiteral("/#IVB"));
    const QByteArray strings = Read(QStringLiteral("/#STRINGS"));
    const qsizetype size = qMin<qsizetype>(dword(ivb, 0), ivb.size() - 4);
    for (qsizetype at = 4; at + 8 <= 4 + size; at += 8) {
        const int context = static_cast<int>(dword(ivb, at));
        const QString page = archivePath(cString(strings, dword(ivb, at + 4)));
        if (!page.isEmpty())
            m_contexts.insert(context, page);
    }
}

// The contents file is an HTML sitemap: nested lists of objects with Name and Local.
void ChmFile::readContents()
{
    QString hhc = m_contentsFile;
    if (hhc.isEmpty() || !Contains(hhc)) {
        hhc.clear();
        for (const QString& p : m_paths)
            if (p.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive)) {
                hhc = p;
                break;
            }
    }
    if (hhc.isEmpty())
        return;
    const QString text = QString::fromUtf8(Read(hhc));
    static const QRegularExpression token(
        QStringLiteral("<\\s*(/?)\\s*ul\\b[^>]*>|<object\\b[^>]*text/sitemap[^>]*>(.*?)</object>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression param(
        QStringLiteral("<param\\s+name\\s*=\\s*\"([^\"]*)\"\\s+value\\s*=\\s*\"([^\"]*)\"\\s*/?>"),
        QRegularExpression::CaseInsensitiveOption);
    int level = -1;
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedView(2).isNull()) {
            level += m.capturedView(1).isEmpty() ? 1 : -1;
            continue;
        }
        TocEntry entry;
        entry.Level = qMax(0, level);
        for (auto p = param.globalMatch(m.captured(2)); p.hasNext();) {
            const QRegularExpressionMatch pm = p.next();
            if (pm.captured(1).compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
                entry.Name = decodeEntities(pm.captured(2));
            else if (pm.captured(1).compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0)
                entry.Local = archivePath(decodeEntities(pm.captured(2)));
        }
        if (!entry.Name.isEmpty())
            m_toc.append(entry);
    }
}

QString ChmFile::DefaultPage() const
{
    if (!m_defaultTopic.isEmpty() && Contains(m_defaultTopic))
        return m_defaultTopic;
    for (const TocEntry& e : m_toc)
        if (!e.Local.isEmpty())
            return e.Local;
    return QString();
}

// Topic names are relative to the archive root; some compilers write the project's own
// folder in front of them, so the shortest tail that names an object of the archive wins.
QString ChmFile::archivePath(QString topic) const
{
    topic.replace(u'\\', u'/');
    const qsizetype hash = topic.indexOf(u'#');
    if (hash >= 0)
        topic.truncate(hash);
    if (topic.isEmpty())
        return QString();
    const QString direct = topic.startsWith(u'/') ? topic : u'/' + topic;
    if (!m_chm || Contains(direct))
        return direct;
    for (qsizetype slash = topic.lastIndexOf(u'/'); slash >= 0; slash = topic.lastIndexOf(u'/', slash - 1)) {
        const QString tail = topic.mid(slash);
        if (Contains(tail))
            return tail;
        if (slash == 0)
            break;
    }
    return direct;
}

QString ChmFile::Resolve(const QString& fromPage, const QString& link)
{
    QString target = link;
    const qsizetype hash = target.indexOf(u'#');
    if (hash >= 0)
        target.truncate(hash);
    if (target.isEmpty())
        return fromPage;
    target.replace(u'\\', u'/');
    if (!target.startsWith(u'/'))
        target = fromPage.left(fromPage.lastIndexOf(u'/') + 1) + target;
    // Collapse "." and ".." the way a browser does.
    QStringList parts;
    for (const QString& part : target.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            parts.isEmpty() ? void() : parts.removeLast();
        else if (part != QLatin1String("."))
            parts.append(part);
    }
    return u'/' + parts.join(u'/');
}
