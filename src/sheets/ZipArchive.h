#pragma once
#include "sheets/TableSource.h"

#include <QHash>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <memory>

class QuaZip;

namespace sheets {

// How much a zip file may unpack to before it counts as a zip bomb: per entry, for the
// whole file, and as a multiple of an entry's packed size once it has passed a floor (real
// spreadsheet XML packs to between a tenth and a fiftieth, a run of zeros to a
// two-hundredth even at the fastest compression level, to a thousandth at the best).
struct ZipLimits
{
    qint64 EntryBytes = qint64(1) << 30;
    qint64 TotalBytes = qint64(2) << 30;
    qint64 Ratio = 100;
    qint64 RatioFloor = qint64(32) << 20;
};

// The entries of a zip file, opened one at a time as streams that count what they unpack.
// A stream that passes a limit or finds the data damaged stops with a read error; the
// reader then asks Check() for the German SheetError to raise.
class ZipArchive
{
public:
    // device stays the caller's and must outlive the archive. Raises SheetError (damaged,
    // too large) when the zip's directory cannot be read.
    ZipArchive(QIODevice& device, const QString& displayName, const ZipLimits& limits = {});
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    const QString& DisplayName() const { return m_name; }
    QStringList EntryNames() const { return m_order; }
    bool Contains(const QString& name) const { return m_entries.contains(name); }
    // The size the entry declares once unpacked (may lie; the stream counts for itself).
    qint64 DeclaredSize(const QString& name) const;

    // The entry as a stream, the only one open until it is destroyed. Raises SheetError
    // when the entry is missing, encrypted, or declares a size beyond the limits.
    std::unique_ptr<QIODevice> Open(const QString& name);
    // A small entry whole (manifests, relationships); raises SheetError beyond maxBytes.
    QByteArray ReadAll(const QString& name, qint64 maxBytes = qint64(16) << 20);

    // After a stream of this archive gave up or a parser found the XML broken: raises the
    // stream's reason when it had one (too large, damaged), else "damaged".
    [[noreturn]] void Fail(QIODevice* stream) const;
    // Raises the reason a stream stopped, if any; returns when it is fine.
    void Check(QIODevice* stream) const;
    // How many bytes a stream of an archive has unpacked so far (for progress).
    static qint64 Unpacked(const QIODevice* stream);

private:
    friend class ZipEntryStream;
    struct Entry
    {
        qint64 packed = 0;
        qint64 unpacked = 0;
        bool encrypted = false;
    };
    QIODevice& m_device;
    QString m_name;
    ZipLimits m_limits;
    std::unique_ptr<QuaZip> m_zip;
    QHash<QString, Entry> m_entries;
    QStringList m_order;
    qint64 m_totalUnpacked = 0;
    bool m_streamOpen = false;
};

} // namespace sheets
