#pragma once
#include "exchange/AdressenImportFrame.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

// The progress window of an import: how many rows are read, how far through the file, and
// "Abbrechen". It shows itself after a moment, so a small file imports without a flash.
class ImportProgressWindow : public ImportProgress
{
public:
    explicit ImportProgressWindow(QWidget* parent, const QString& title = QStringLiteral("Adressen importieren"));
    ~ImportProgressWindow() override;

    bool Step(int records, double fraction) override;
    void Done() override;

    QProgressDialog* Dialog() const { return m_dialog.get(); }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceUpdate;
};
