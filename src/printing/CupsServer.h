#pragma once
#include <QByteArray>

// The scheduler libcups talks to on the calling thread, spelled so that cupsSetServer on
// another thread reaches the same one: a domain socket's path, or "host:port" followed by
// "/version=x.y" when the requests are not IPP 2.0. libcups keeps the server, its port and
// the IPP version per thread, and cupsServer() alone names only the host.
QByteArray CurrentCupsServer();

// Whether a scheduler given as above runs on this computer: a domain socket, "localhost" or
// a loopback address. Only then does this computer reach the printers as the scheduler does.
bool IsLocalScheduler(const QByteArray& server);

// What is done before a job goes to a queue that takes jobs, from the scheduler's
// printer-state and printer-state-reasons and the queue's device URI.
enum class DeviceCheck
{
    None,     // hand the job over
    Probe,    // connect to the printer's network address first: it must answer
    Offline,  // the scheduler says the printer cannot be reached: nothing is handed over
};
DeviceCheck DeviceCheckBeforeJob(bool localScheduler, const QByteArray& state, const QByteArray& reasons,
                                 const QByteArray& deviceUri);
