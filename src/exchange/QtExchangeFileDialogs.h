#pragma once
#include "exchange/ExchangeFileDialogs.h"

// QFileDialog: the open dialog, and the save dialog that reports the chosen filter entry.
class QtExchangeFileDialogs : public ExchangeFileDialogs
{
public:
    QString OpenFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter) override;
    SaveChoice SaveFileName(QWidget* parent, const QString& title, const QString& folder, const QStringList& filters,
                            int selectedFilter, const QString& fileName) override;
};
