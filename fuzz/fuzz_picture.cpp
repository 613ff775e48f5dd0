// The picture readers of the sender dialog: the first byte picks the file's kind (JPEG,
// PNG, GIF, BMP, WMF), the rest is the file. JPEG bytes also go through the banner
// decoder that reads the pictures stored in the database.
#include "FuzzSupport.h"
#include "imaging/ImageError.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    FuzzSupport::EnsureGuiApplication();
    static const char* const kinds[] = {"jpg", "png", "gif", "bmp", "wmf"};
    const QString kind = QString::fromLatin1(kinds[data[0] % 5]);
    const QByteArray bytes = FuzzSupport::Bytes(data + 1, size - 1);
    try {
        const QImage picture = PictureFile::DecodeImage(bytes, kind, QStringLiteral("Bild.") + kind);
        FUZZ_CHECK(picture.isNull() || picture.format() == QImage::Format_RGB888);
        FUZZ_CHECK(qint64(picture.width()) * picture.height() <= PictureFile::MaxPixels);
    } catch (const ImageError&) {
    }
    if (data[0] % 5 == 0) {
        try {
            (void)JpegCodec::decode(bytes);
        } catch (const ImageError&) {
        }
    }
    return 0;
}
