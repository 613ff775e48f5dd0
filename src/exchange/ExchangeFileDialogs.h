#pragma once
#include <QString>
#include <QStringList>

class QWidget;

// The file dialogs of import and export, behind an interface so that tests can name the
// file without a dialog. Filters are Qt filter texts such as "CSV-Datei (*.csv)".
class ExchangeFileDialogs
{
public:
    struct FileChoice
    {
        QString fileName;    // empty when the dialog was cancelled
        int filterIndex = 0; // the filter entry chosen, counted from 0
    };
    using SaveChoice = FileChoice;

    virtual ~ExchangeFileDialogs() = default;
    // The chosen existing file (empty when cancelled) and the filter entry it was chosen under.
    virtual FileChoice OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                                    const QStringList& filters) = 0;
    virtual SaveChoice SaveFileName(QWidget* parent, const QString& title, const QString& folder,
                                    const QStringList& filters, int selectedFilter, const QString& fileName) = 0;

    // The dialogs of the desktop, used when a command is given no dialogs of its own.
    static ExchangeFileDialogs& Standard();
};
