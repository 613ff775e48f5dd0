#pragma once
#include "exchange/AdressenImportFrame.h"

#include <QElapsedTimer>

#include <memory>

class QProgressDialog;
class QWidget;

// The progress window of an import or an export: how many addresses are done, how far
// through the file, and "Abbrechen". It shows itself after a moment, so a small file goes
// through without a flash.
class ExchangeProgressWindow : public ImportProgress
{
public:
    // An import: "… Adressen gelesen...".
    explicit ExchangeProgressWindow(QWidget* parent, const QString& title = QStringLiteral("Adressen importieren"));
    // An export of total addresses: "… von … Adressen geschrieben...".
    ExchangeProgressWindow(QWidget* parent, const QString& title, int total);
    ~ExchangeProgressWindow() override;

    bool Step(int records, double fraction) override;
    void Done() override;

    QProgressDialog* Dialog() const { return m_dialog.get(); }

private:
    QString countText(int records) const;

    std::unique_ptr<QProgressDialog> m_dialog;
    QElapsedTimer m_sinceUpdate;
    int m_total = -1; // known for an export only
};
