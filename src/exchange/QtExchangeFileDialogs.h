#pragma once
#include "exchange/ExchangeFileDialogs.h"

// QFileDialog: the open and the save dialog, both reporting the chosen filter entry.
class QtExchangeFileDialogs : public ExchangeFileDialogs
{
public:
    FileChoice OpenFileName(QWidget* parent, const QString& title, const QString& folder,
                            const QStringList& filters) override;
    SaveChoice SaveFileName(QWidget* parent, const QString& title, const QString& folder, const QStringList& filters,
                            int selectedFilter, const QString& fileName) override;
};
