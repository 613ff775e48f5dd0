#include "shell/AppPaths.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

// The help file is found from the program's folder: beside it in the build folder, in the
// data folder of an installed tree (<prefix>/bin/tavisto, <prefix>/share/tavisto).
TEST(AppPathsHelpFile, FoundBesideTheProgramOrInTheInstalledDataFolder)
{
    struct Case
    {
        const char* name;
        QStringList present;
        const char* expected;
    };
    const Case cases[] = {
        {"build folder", {"bin/Tavisto.chm"}, "bin/Tavisto.chm"},
        {"installed tree", {"share/tavisto/Tavisto.chm"}, "share/tavisto/Tavisto.chm"},
        {"both: the program's own folder first", {"bin/Tavisto.chm", "share/tavisto/Tavisto.chm"}, "bin/Tavisto.chm"},
        // The start-up then says the file is missing.
        {"neither", {}, "bin/Tavisto.chm"},
        {"another program's data folder is not ours", {"share/other/Tavisto.chm"}, "bin/Tavisto.chm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        QDir().mkpath(dir.file("bin"));
        for (const QString& file : c.present)
            dir.write(file, "help");
        const AppPaths paths = AppPaths::Resolve(dir.file("bin"), dir.file("config"), dir.file("Documents"));
        EXPECT_EQ(paths.HelpFile, dir.file(QLatin1String(c.expected)));
    }
}
