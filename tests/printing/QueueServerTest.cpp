// Which scheduler a queue call's own thread talks to, and what is checked on this computer
// before a job goes to a network printer, decided from where that scheduler runs.
#include "printing/CupsServer.h"
#include "printing/QueueCall.h"

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

struct ServerSeen
{
    QByteArray server;
    int port = 0;
    int major = 0, minor = 0;
    bool operator==(const ServerSeen&) const = default;
};

// What libcups on the current thread will talk to.
ServerSeen seen()
{
    ServerSeen s{cupsServer(), ippPort()};
    ipp_t* request = ippNew();
    s.major = ippGetVersion(request, &s.minor);
    ippDelete(request);
    return s;
}

std::ostream& operator<<(std::ostream& out, const ServerSeen& s)
{
    return out << s.server.toStdString() << " port " << s.port << " IPP " << s.major << '.' << s.minor;
}

} // namespace

// The server as the user's settings give it (CUPS_SERVER or client.conf end in
// cupsSetServer), spelled on one thread and taken up by a queue call's thread: the same
// host, port and IPP version there. Each case starts on a fresh thread, as libcups keeps
// the port of an earlier server on a thread that names the next one without a port.
TEST(QueueServer, ACallsThreadTalksToTheCallersSchedulerWithItsPortAndVersion)
{
    const struct
    {
        const char* setting;
        const char* spelled;
    } cases[] = {
        {"/run/cups/cups.sock", "/run/cups/cups.sock"},
        {"localhost", "localhost:631"},
        {"printserver.example:8631", "printserver.example:8631"},
        {"printserver.example:8631/version=1.1", "printserver.example:8631/version=1.1"},
        {"printserver.example/version=1.1", "printserver.example:631/version=1.1"},
        {"10.1.2.3:10631", "10.1.2.3:10631"},
        {"[::1]:8631", "[::1]:8631"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        ServerSeen caller, call;
        QByteArray spelled;
        std::thread([&] {
            cupsSetServer(c.setting);
            caller = seen();
            spelled = CurrentCupsServer();
            // The way every queue call starts its thread.
            call = QueueCall::Run(
                [spelled] {
                    cupsSetServer(spelled.constData());
                    return seen();
                },
                5000, "langsam");
        }).join();
        EXPECT_EQ(spelled, c.spelled);
        EXPECT_EQ(call, caller);
    }
}

TEST(QueueServer, TheSchedulerRunsHereOnlyOnASocketOrALoopbackAddress)
{
    for (const char* here : {"/run/cups/cups.sock", "/var/run/cups/cups.sock", "localhost", "localhost:631",
                             "LOCALHOST:8631/version=1.1", "127.0.0.1:631", "127.0.1.1:631", "[::1]:631", "::1"})
        EXPECT_TRUE(IsLocalScheduler(here)) << here;
    for (const char* elsewhere :
         {"printserver.example:631", "printserver:8631/version=1.1", "10.1.2.3:631", "192.168.0.1", "[fe80::1]:631",
          "localhost.example.com:631", "127.0.0.1.example.com", "128.0.0.1:631", "127.0.0.256:631"})
        EXPECT_FALSE(IsLocalScheduler(elsewhere)) << elsewhere;
}

// Device URIs × where the scheduler runs × what it says of the printer.
TEST(QueueServer, TheDeviceIsTriedFromHereOnlyWhenTheSchedulerRunsHere)
{
    const QByteArray idle = QByteArray::number(int(IPP_PSTATE_IDLE));
    const QByteArray printing = QByteArray::number(int(IPP_PSTATE_PROCESSING));
    using D = DeviceCheck;
    const struct
    {
        const char* uri;
        const QByteArray& state;
        const char* reasons;
        D local;
        D remote;
    } cases[] = {
        // Network printers: idle, printing, being reached, reported offline.
        {"ipp://drucker.buero.lan/ipp/print", idle, "none", D::Probe, D::None},
        {"socket://10.0.0.5:9100", idle, "none", D::Probe, D::None},
        {"lpd://10.0.0.5/queue", idle, "none", D::Probe, D::None},
        {"https://drucker.buero.lan/ipp", idle, "none", D::Probe, D::None},
        {"socket://10.0.0.5:9100", printing, "none", D::None, D::None},
        {"socket://10.0.0.5:9100", printing, "connecting-to-device", D::Probe, D::None},
        {"ipp://drucker.buero.lan/ipp/print", printing, "offline-report", D::Probe, D::Offline},
        {"ipp://drucker.buero.lan/ipp/print", idle, "offline-report,media-empty-warning", D::Probe, D::Offline},
        // Devices this computer has no business reaching: local, discovered, virtual.
        {"usb://HP/LaserJet?serial=1", idle, "none", D::None, D::None},
        {"usb://HP/LaserJet?serial=1", idle, "offline-report", D::None, D::Offline},
        {"file:///var/spool/drucker.prn", idle, "none", D::None, D::None},
        {"cups-pdf:/", idle, "none", D::None, D::None},
        {"dnssd://Drucker._ipp._tcp.local/?uuid=1", idle, "none", D::None, D::None},
        {"ipp://drucker.local:631/ipp/print", idle, "none", D::None, D::None},
        {"", idle, "none", D::None, D::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.uri) + " state " + c.state.toStdString() + " " + c.reasons);
        EXPECT_EQ(DeviceCheckBeforeJob(true, c.state, c.reasons, c.uri), c.local);
        EXPECT_EQ(DeviceCheckBeforeJob(false, c.state, c.reasons, c.uri), c.remote);
    }
}
