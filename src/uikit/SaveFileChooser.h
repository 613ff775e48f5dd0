#pragma once
#include <QString>

#include <functional>

class QWidget;

// Asks for the file to write: parent, title, folder, filter, proposed name; the empty
// text when the user cancelled. The program passes the system's save dialog, tests a
// scripted answer.
using SaveFileChooser =
    std::function<QString(QWidget*, const QString&, const QString&, const QString&, const QString&)>;
