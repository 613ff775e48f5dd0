#include "shell/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>

// The installed program's data folder, seen from the folder of the executable. The build
// passes the value its install rules use; this is their default layout.
#ifndef TAVISTO_DATA_FROM_PROGRAM
#define TAVISTO_DATA_FROM_PROGRAM "../share/tavisto"
#endif

namespace {
QString withSeparator(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

const QString kHelpFileName = QStringLiteral("Tavisto.chm");
} // namespace

QString FindHelpFile(const QString& programDir)
{
    const QString beside = withSeparator(programDir) + kHelpFileName;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(withSeparator(programDir) + QStringLiteral(TAVISTO_DATA_FROM_PROGRAM) +
                                              u'/' + kHelpFileName);
    return QFileInfo::exists(installed) ? installed : beside;
}

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
    p.HelpFile = FindHelpFile(p.ProgramDir);
    p.SettingsDir = withSeparator(appDataFolder) + QLatin1String(kProductFolder) + u'/';
    p.SettingsFile = p.SettingsDir + QStringLiteral("Tavisto.ini");
    p.DataDir = withSeparator(documentsFolder) + QLatin1String(kProductFolder) + u'/';
    p.DatabaseFile = p.DataDir + QStringLiteral("Tavisto.dbs");
    return p;
}
