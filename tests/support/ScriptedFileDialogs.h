#pragma once
// File dialogs that answer from the test: the file to open (and the filter it was chosen
// under) or to save, and what the command asked for.
#include "exchange/ExchangeFileDialogs.h"

class ScriptedFileDialogs : public ExchangeFileDialogs
{
public:
    FileChoice OpenFileName(QWidget*, const QString& title, const QString& folder, const QStringList& filters) override
    {
        ++openCalls;
        lastTitle = title;
        lastFolder = folder;
        lastFilters = filters;
        return {openName, openFilter};
    }
    SaveChoice SaveFileName(QWidget*, const QString& title, const QString& folder, const QStringList& filters,
                            int selectedFilter, const QString& fileName) override
    {
        ++saveCalls;
        lastTitle = title;
        lastFolder = folder;
        lastFilters = filters;
        lastSelectedFilter = selectedFilter;
        lastDefaultName = fileName;
        return save;
    }

    QString openName;
    int openFilter = 0; // the filter entry the file was chosen under
    SaveChoice save;
    int openCalls = 0;
    int saveCalls = 0;
    QString lastTitle, lastFolder, lastDefaultName;
    QStringList lastFilters;
    int lastSelectedFilter = -1;
};
