// Runs one of the program's writing code paths so that a test can kill it with SIGKILL
// at any moment:
//   tavisto_crashdriver import   ROOT CSVFILE         one import into group GR00000001
//   tavisto_crashdriver restore  ROOT BACKUP1 BACKUP2 ROUNDS   restores, taking turns
//   tavisto_crashdriver settings ROOT ROUNDS          saves two settings, taking turns
// ROOT holds the program's folders as the start-up resolves them (config/, Dokumente/).
// Prints "ok" and ends with 0 when the work is done, anything else is a failure.
#include "ReliabilitySupport.h"
#include "app/AppContext.h"
#include "app/Startup.h"
#include "exchange/AdressenImport.h"
#include "shell/MessageService.h"
#include "shell/Settings.h"
#include "store/Schema.h"
#include "tools/DatabaseBackup.h"

#include <QApplication>
#include <cstdio>

namespace {

// Any message means the path did not go as planned.
class PrintedMessages : public MessageService
{
public:
    int ShowMessageBox(const QString& text, int, int, int, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++count;
        return Msg::IdOk;
    }
    void ShowPlainMessage(const QString& text) override { ShowMessageBox(text, 0, 0, 0, 0); }
    int count = 0;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString mode = args[1];
    const QString root = args[2];
    PrintedMessages messages;
    AppContext ctx;
    ctx.Messages = &messages;
    ctx.Paths = AppPaths::Resolve(root + QStringLiteral("/bin"), root + QStringLiteral("/config"),
                                  root + QStringLiteral("/Dokumente"));

    if (mode == u"settings") {
        const int rounds = args.value(3).toInt();
        for (int i = 0; i < rounds; ++i)
            if (!SaveSettingsFile(ctx.Paths.SettingsFile, Reliability::CrashDriverSettings((i + 1) % 2), messages))
                return 1;
    } else {
        if (!OpenDatabaseFile(ctx).isEmpty() || !CreateTables(ctx.db(), messages))
            return 1;
        if (mode == u"import") {
            if (!ImportAdressenFile(ctx, QStringLiteral("GR00000001"), args.value(3)))
                return 1;
        } else if (mode == u"restore") {
            const int rounds = args.value(5).toInt();
            for (int i = 0; i < rounds; ++i) {
                if (!RunRestore(ctx, args.value(3 + i % 2)) || !OpenRestoredDatabase(ctx).isEmpty())
                    return 1;
            }
        } else {
            return 2;
        }
    }
    if (messages.count > (mode == u"import" ? 1 : 0))  // the import's success message
        return 1;
    std::printf("ok\n");
    return 0;
}
