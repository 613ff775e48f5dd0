#include "printing/CupsServer.h"

#include "printing/PrinterOptions.h"

#include <cups/cups.h>

QByteArray CurrentCupsServer()
{
    // Asked first: it reads CUPS_SERVER and client.conf for this thread, port and version too.
    QByteArray server(cupsServer());
    if (server.startsWith('/'))
        return server;
    server += ':' + QByteArray::number(ippPort());
    // A new request carries the version this thread's requests are made with.
    int minor = 0;
    ipp_t* request = ippNew();
    const int major = ippGetVersion(request, &minor);
    ippDelete(request);
    if (major != 2 || minor != 0)
        server += "/version=" + QByteArray::number(major) + '.' + QByteArray::number(minor);
    return server;
}

bool IsLocalScheduler(const QByteArray& server)
{
    if (server.isEmpty() || server.startsWith('/'))
        return true;
    QByteArray host = server;
    const qsizetype version = host.indexOf('/');
    if (version >= 0)
        host.truncate(version);
    if (host.startsWith('[')) {
        host = host.mid(1, host.indexOf(']') - 1);
    } else {
        const qsizetype colon = host.lastIndexOf(':');
        if (colon >= 0 && host.indexOf(':') == colon)
            host.truncate(colon);
    }
    host = host.toLower();
    if (host.endsWith('.'))
        host.chop(1);
    if (host == "localhost" || host == "::1" || host == "0:0:0:0:0:0:0:1")
        return true;
    // 127.0.0.0/8, written out in four parts.
    const QList<QByteArray> parts = host.split('.');
    if (parts.size() != 4 || parts[0] != "127")
        return false;
    for (const QByteArray& part : parts) {
        bool number = false;
        const int value = part.toInt(&number);
        if (!number || value < 0 || value > 255)
            return false;
    }
    return true;
}

DeviceCheck DeviceCheckBeforeJob(bool localScheduler, const QByteArray& state, const QByteArray& reasons,
                                 const QByteArray& deviceUri)
{
    if (!localScheduler) {
        // The device URI is where the scheduler reaches the printer, often on a network this
        // computer does not see: what the scheduler says about the printer is all there is.
        return reasons.contains("offline") ? DeviceCheck::Offline : DeviceCheck::None;
    }
    if (!NetworkDevice(deviceUri))
        return DeviceCheck::None;
    // A printer that is printing answers; one the scheduler is still trying to reach may not.
    const bool printing = state == QByteArray::number(int(IPP_PSTATE_PROCESSING));
    if (!printing || reasons.contains("connecting-to-device") || reasons.contains("offline"))
        return DeviceCheck::Probe;
    return DeviceCheck::None;
}
