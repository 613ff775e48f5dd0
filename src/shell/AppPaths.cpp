#include "shell/AppPaths.h"

#include <QDir>
#include <QStandardPaths>
#include <filesystem>

namespace {
QString withSeparator(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}
} // namespace

QString GetKnownFolder(KnownFolder kind)
{
    const auto location = kind == CSIDL_PERSONAL ? QStandardPaths::DocumentsLocation
                                                  : QStandardPaths::GenericConfigLocation;
    return withSeparator(QStandardPaths::writableLocation(location));
}

bool ForceDirectories(const QString& dir)
{
    std::error_code ec;
    const std::filesystem::path p = dir.toStdString();
    if (std::filesystem::is_directory(p, ec))
        return true;
    std::filesystem::create_directories(p, ec);
    return std::filesystem::is_directory(p, ec);
}

AppPaths AppPaths::Resolve(const QString& programDir, const QString& appDataFolder, const QString& documentsFolder)
{
    AppPaths p;
    p.ProgramDir = withSeparator(programDir);
    p.HelpFile = p.ProgramDir + QStringLiteral("Tavisto.chm");
    p.SettingsDir = withSeparator(appDataFolder) + QLatin1String(kProductFolder) + u'/';
    p.SettingsFile = p.SettingsDir + QStringLiteral("Tavisto.ini");
    p.DataDir = withSeparator(documentsFolder) + QLatin1String(kProductFolder) + u'/';
    p.DatabaseFile = p.DataDir + QStringLiteral("Tavisto.dbs");
    return p;
}
