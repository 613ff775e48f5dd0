#pragma once
// Starts a real Tavisto program in a display of its own, with a fresh home folder.
#include "support/TempDir.h"
#include "support/XvfbSession.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// The program of the build folder.
inline const QString kBuiltProgram = QStringLiteral(TAVISTO_BIN_DIR "/tavisto");

inline bool isMainWindow(const QString& title) { return title.startsWith("Lumo Tavisto (64-bit)"); }

class ProgramHarness : public ::testing::Test
{
protected:
    void SetUp() override;

    std::unique_ptr<QProcess> start();
    // Starts the program and answers the messages of a first start (missing help file,
    // no printer) with Return until the main window shows; it then has the input focus.
    // The titles of the answered messages go to `answered`.
    std::unique_ptr<QProcess> startToMainWindow(QStringList* answered = nullptr);
    // The main window of a started program (empty id when it has none).
    XvfbSession::Window mainWindow(const QProcess& p) const;

    QString dataFile() const { return home.file("Documents/Lumo Tavisto/Tavisto.dbs"); }
    QString settingsFile() const { return home.file(".config/Lumo Tavisto/Tavisto.ini"); }

    QString program = kBuiltProgram;
    XvfbSession xvfb;
    TempDir home;
};

// Only a running process is signalled: an ended one has the id 0, and kill(0, ...) would
// reach the test's whole process group.
void sendSignal(QProcess& p, int sig);
