#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A printer address that takes no connection and refuses none either, like a network
// printer that is switched off: a listening socket whose one-place queue is already full,
// so the kernel drops every further connection attempt unanswered.
struct SilentPrinter
{
    int listener = -1;
    int filler = -1;
    int port = 0;  // 0 when it could not be set up

    SilentPrinter()
    {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener, 0) != 0 ||
            getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            return;
        filler = socket(AF_INET, SOCK_STREAM, 0);
        if (::connect(filler, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0)
            port = ntohs(a.sin_port);
    }
    ~SilentPrinter()
    {
        if (filler >= 0)
            close(filler);
        if (listener >= 0)
            close(listener);
    }
    SilentPrinter(const SilentPrinter&) = delete;
    SilentPrinter& operator=(const SilentPrinter&) = delete;
};
