#pragma once
// What the benchmarks against gLabels' batch tool share: a silent message service for the
// program's side, the wall clock, and the peer run as a child process with its PDF's size.
#include "shell/MessageService.h"

#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <chrono>

namespace GlabelsPeer {

class SilentMessages : public MessageService
{
public:
    int ShowMessageBox(const QString&, int, int, int, int) override { return Msg::IdOk; }
    void ShowPlainMessage(const QString&) override {}
};

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline bool runTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// One output: its wall time (negative when it failed) and the file's size.
struct Run
{
    double seconds = 0;
    qint64 bytes = 0;
};

// glabels-3-batch writing the merged document into pdf.
inline Run glabels(const QString& document, const QString& pdf)
{
    const auto start = Clock::now();
    if (!runTool(QStringLiteral("glabels-3-batch"), {QStringLiteral("-o"), pdf, document}))
        return {-1, 0};
    return {secondsSince(start), QFileInfo(pdf).size()};
}

inline bool glabelsInstalled()
{
    return QProcess::execute(QStringLiteral("sh"),
                             {QStringLiteral("-c"), QStringLiteral("command -v glabels-3-batch >/dev/null")}) == 0;
}

} // namespace GlabelsPeer
