#pragma once

struct AppContext;
class AdressenRows;
class ExchangeFileDialogs;
class QWidget;

// "Absender exportieren": every sender, in the order of the sender list, as a text or CSV
// file. Without dialogs the desktop's save dialog is used. A file that cannot be written
// raises ExchangeError.
void ExportAbsender(AppContext& ctx, QWidget* parent, ExchangeFileDialogs* dialogs = nullptr);

// "Adressen exportieren": exactly the rows the address list shows, in that order; as text,
// as the CSV layout of lines, name and mark, or with every field as a table (.ods, .xlsx)
// or as a UTF-8 CSV file.
void ExportAdressen(AppContext& ctx, QWidget* parent, const AdressenRows& rows, ExchangeFileDialogs* dialogs = nullptr);
