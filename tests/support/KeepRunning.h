#pragma once
#include <QGuiApplication>

// The test program does not end when a test closes its last window (a quit would end every
// event loop the later tests run).
struct KeepRunning
{
    bool before = QGuiApplication::quitOnLastWindowClosed();
    KeepRunning() { QGuiApplication::setQuitOnLastWindowClosed(false); }
    ~KeepRunning() { QGuiApplication::setQuitOnLastWindowClosed(before); }
    KeepRunning(const KeepRunning&) = delete;
    KeepRunning& operator=(const KeepRunning&) = delete;
};
