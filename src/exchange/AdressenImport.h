#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

struct AppContext;
class ExchangeFileDialogs;
class QWidget;

// "Adressen importieren": asks for a CSV or vCard file and adds one address per record
// or card to the group. True when the address list must be reloaded. Without dialogs the
// desktop's file dialog is used. A file that cannot be read raises ExchangeError.
bool ImportAdressen(AppContext& ctx, QWidget* parent, const QString& gruppeId, ExchangeFileDialogs* dialogs = nullptr);

// The CSV import of a chosen file, from the table test on (no questions asked). True
// when the address list must be reloaded.
bool ImportAdressenFile(AppContext& ctx, const QString& gruppeId, const QString& fileName);
