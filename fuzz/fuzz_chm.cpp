// The help file reader: an arbitrary file opened as the help window opens Tavisto.chm,
// its context map, contents and default page read, and every page it lists fetched.
#include "FuzzSupport.h"
#include "tools/ChmFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FuzzSupport::WriteTempFile(QStringLiteral("Tavisto.chm"), data, size);
    ChmFile chm(path);
    if (!chm.IsOpen())
        return 0;
    (void)chm.DefaultPage();
    for (const QString& page : chm.Contexts())
        (void)chm.Read(page);
    for (const ChmFile::TocEntry& entry : chm.Contents())
        (void)ChmFile::Resolve(entry.Local, QStringLiteral("../bild.png#oben"));
    int fetched = 0;
    for (const QString& path : chm.Paths()) {
        if (++fetched > 64)
            break;
        (void)chm.Read(path);
    }
    return 0;
}
