#include "sheets/ZipArchive.h"

#include "sheets/SheetErrors.h"

#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>
#include <unzip.h>

namespace sheets {

// What a stream found when it stopped early.
enum class StreamFault { None, Damaged, TooLarge };

class ZipEntryStream : public QIODevice
{
public:
    ZipEntryStream(ZipArchive& archive, const QString& name, const ZipArchive::Entry& entry)
        : m_archive(archive), m_file(archive.m_zip.get()), m_entry(entry)
    {
        // The packed size can claim more than the file holds; only what is there counts.
        m_packed = std::max<qint64>(1, std::min(entry.packed, archive.m_device.size()));
        if (!archive.m_zip->setCurrentFile(name, QuaZip::csSensitive) || !m_file.open(QIODevice::ReadOnly))
            m_fault = StreamFault::Damaged;
        m_start = archive.m_device.pos();
        open(QIODevice::ReadOnly);
        archive.m_streamOpen = true;
    }
    ~ZipEntryStream() override
    {
        if (m_file.isOpen())
            m_file.close();
        m_archive.m_streamOpen = false;
    }

    bool isSequential() const override { return true; }
    StreamFault Fault() const { return m_fault; }
    qint64 Unpacked() const { return m_unpacked; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_fault != StreamFault::None)
            return -1;
        if (m_done || maxSize <= 0)
            return 0;
        const qint64 n = m_file.read(data, maxSize);
        if (n < 0) {
            m_fault = StreamFault::Damaged;
            return -1;
        }
        if (n == 0) {
            // The end: only now does the checksum tell whether the data was whole.
            m_done = true;
            m_file.close();
            if (m_file.getZipError() != UNZ_OK) {
                m_fault = StreamFault::Damaged;
                return -1;
            }
            return 0;
        }
        m_unpacked += n;
        m_archive.m_totalUnpacked += n;
        const ZipLimits& limits = m_archive.m_limits;
        // The packed bytes read so far: where the zip's device stands, past where it began.
        const qint64 consumed = std::clamp<qint64>(m_archive.m_device.pos() - m_start, 1, m_packed);
        if (m_unpacked > limits.EntryBytes || m_archive.m_totalUnpacked > limits.TotalBytes ||
            (m_unpacked > limits.RatioFloor && m_unpacked / consumed > limits.Ratio)) {
            m_fault = StreamFault::TooLarge;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    ZipArchive& m_archive;
    QuaZipFile m_file;
    ZipArchive::Entry m_entry;
    qint64 m_packed = 1;
    qint64 m_start = 0;
    qint64 m_unpacked = 0;
    bool m_done = false;
    StreamFault m_fault = StreamFault::None;
};

namespace {

// More entries than any spreadsheet has: the directory alone would cost too much.
constexpr int kMaxEntries = 100000;

} // namespace

ZipArchive::ZipArchive(QIODevice& device, const QString& displayName, const ZipLimits& limits)
    : m_device(device), m_name(displayName), m_limits(limits), m_zip(std::make_unique<QuaZip>(&device))
{
    m_zip->setAutoClose(false); // the device is the caller's
    if (!m_zip->open(QuaZip::mdUnzip))
        throw errors::Damaged(m_name);
    qint64 declared = 0;
    for (bool more = m_zip->goToFirstFile(); more; more = m_zip->goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!m_zip->getCurrentFileInfo(&info))
            throw errors::Damaged(m_name);
        if (m_order.size() >= kMaxEntries)
            throw errors::TooLarge(m_name);
        Entry e;
        e.packed = qint64(std::min<quint64>(info.compressedSize, quint64(1) << 62));
        e.unpacked = qint64(std::min<quint64>(info.uncompressedSize, quint64(1) << 62));
        e.encrypted = (info.flags & 1) != 0;
        declared += e.unpacked;
        if (!m_entries.contains(info.name))
            m_order << info.name;
        m_entries.insert(info.name, e);
    }
    if (m_zip->getZipError() != UNZ_OK)
        throw errors::Damaged(m_name);
    (void)declared; // the sizes may lie, so only what a stream unpacks is held against the limits
}

ZipArchive::~ZipArchive() = default;

qint64 ZipArchive::DeclaredSize(const QString& name) const
{
    return m_entries.value(name).unpacked;
}

std::unique_ptr<QIODevice> ZipArchive::Open(const QString& name)
{
    const auto it = m_entries.constFind(name);
    if (it == m_entries.constEnd())
        throw errors::Damaged(m_name);
    if (it->encrypted)
        throw errors::Encrypted(m_name);
    if (it->unpacked > m_limits.EntryBytes)
        throw errors::TooLarge(m_name);
    if (m_streamOpen)
        throw std::logic_error("ZipArchive: one entry at a time");
    return std::make_unique<ZipEntryStream>(*this, name, *it);
}

QByteArray ZipArchive::ReadAll(const QString& name, qint64 maxBytes)
{
    std::unique_ptr<QIODevice> stream = Open(name);
    QByteArray bytes;
    char buffer[16384];
    for (;;) {
        const qint64 n = stream->read(buffer, sizeof buffer);
        if (n < 0)
            Fail(stream.get());
        if (n == 0)
            break;
        bytes.append(buffer, n);
        if (bytes.size() > maxBytes)
            throw errors::TooLarge(m_name);
    }
    Check(stream.get());
    return bytes;
}

void ZipArchive::Check(QIODevice* stream) const
{
    if (auto* s = dynamic_cast<ZipEntryStream*>(stream)) {
        if (s->Fault() == StreamFault::TooLarge)
            throw errors::TooLarge(m_name);
        if (s->Fault() == StreamFault::Damaged)
            throw errors::Damaged(m_name);
    }
}

qint64 ZipArchive::Unpacked(const QIODevice* stream)
{
    const auto* s = dynamic_cast<const ZipEntryStream*>(stream);
    return s ? s->Unpacked() : 0;
}

void ZipArchive::Fail(QIODevice* stream) const
{
    Check(stream);
    throw errors::Damaged(m_name);
}

} // namespace sheets
