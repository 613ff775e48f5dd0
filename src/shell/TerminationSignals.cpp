#include "shell/TerminationSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

int TerminationSignals::s_fds[2] = {-1, -1};
bool TerminationSignals::s_requested = false;

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_fds) != 0)
        return;
    m_notifier = new QSocketNotifier(s_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char c;
        if (::read(s_fds[1], &c, 1) == 1) {
            s_requested = true;
            emit terminationRequested();
        }
    });
    struct sigaction sa = {};
    sa.sa_handler = &TerminationSignals::handle;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        std::signal(sig, SIG_DFL);
    ::close(s_fds[0]);
    ::close(s_fds[1]);
    s_fds[0] = s_fds[1] = -1;
    s_requested = false;
}

void TerminationSignals::handle(int)
{
    // Only async-signal-safe work here: wake the event loop.
    const char c = 1;
    [[maybe_unused]] auto n = ::write(s_fds[0], &c, 1);
}
