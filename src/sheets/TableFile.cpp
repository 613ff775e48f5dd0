// OpenTableFile: the reader for a file, chosen by what the file holds, not by its name.
#include "sheets/DelimitedSource.h"
#include "sheets/OdsSource.h"
#include "sheets/SheetErrors.h"
#include "sheets/XlsSource.h"
#include "sheets/XlsxSource.h"
#include "sheets/ZipArchive.h"

#include <QByteArrayMatcher>
#include <QFile>
#include <QFileInfo>

namespace sheets {

namespace {

const QByteArray kOle2Magic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// An Office file encrypted with a password is an OLE2 file holding the streams
// "EncryptionInfo" and "EncryptedPackage"; their names stand in its directory in UTF-16.
bool holdsEncryptionInfo(QFile& file)
{
    static const QByteArray name = QByteArray::fromRawData("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
    const QByteArrayMatcher matcher(name);
    file.seek(0);
    QByteArray carry;
    for (;;) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty())
            return false;
        const QByteArray window = carry + chunk;
        if (matcher.indexIn(window) >= 0)
            return true;
        carry = window.right(name.size());
    }
}

// A zip is a workbook when it names one, a spreadsheet when it has content.xml.
std::unique_ptr<TableSource> openZip(std::unique_ptr<QFile> file, const QString& name)
{
    bool xlsx = false, ods = false;
    {
        ZipArchive zip(*file, name);
        xlsx = zip.Contains(QStringLiteral("xl/workbook.xml")) || zip.Contains(QStringLiteral("_rels/.rels"));
        ods = zip.Contains(QStringLiteral("content.xml"));
    }
    // Closing the zip closed the file as well.
    if (!file->isOpen() && !file->open(QIODevice::ReadOnly))
        throw errors::CannotOpen(name);
    file->seek(0);
    if (xlsx)
        return std::make_unique<XlsxSource>(std::move(file), name);
    if (ods)
        return std::make_unique<OdsSource>(std::move(file), name);
    throw errors::NotATable(name);
}

} // namespace

std::unique_ptr<TableSource> OpenTableFile(const QString& path, const TextOptions* text)
{
    const QString name = errors::DisplayName(path);
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly))
        throw errors::CannotOpen(name);
    const QByteArray head = file->peek(4096);
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
        return openZip(std::move(file), name);
    if (head.startsWith(kOle2Magic)) {
        try {
            return std::make_unique<XlsSource>(path, name);
        } catch (const SheetError&) {
            if (holdsEncryptionInfo(*file))
                throw errors::Encrypted(name);
            throw;
        }
    }
    // A text has no NUL bytes, unless it is UTF-16 behind its byte order mark.
    const bool utf16 = head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF");
    if (!utf16 && head.contains('\0'))
        throw errors::NotATable(name);
    const TextOptions options = text ? *text : GuessTextOptionsOf(file->peek(65536));
    return std::make_unique<DelimitedSource>(std::move(file), QFileInfo(path).completeBaseName(), options);
}

} // namespace sheets
