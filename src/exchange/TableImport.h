#pragma once
#include "exchange/AdressenImportFrame.h"

#include <QString>

#include <functional>

struct AppContext;
class QWidget;
class TDLG_FelderZuordnen;

// The import of a table with any columns (.ods, .xlsx, .xls, .csv, .txt): opens the file,
// lets the user assign its columns in "Felder zuordnen", then stores the addresses with
// the progress window. A file that cannot be read is reported and nothing is imported.
// True when the address list must be reloaded.
//
// runWindow shows the window and returns its result (QDialog::exec when empty); tests
// answer it without a modal loop.
using FelderZuordnenRunner = std::function<int(TDLG_FelderZuordnen&)>;
bool ImportTableFile(AppContext& ctx, QWidget* parent, const QString& gruppeId, const QString& fileName,
                     const FelderZuordnenRunner& runWindow = {});

// A spreadsheet by its first bytes (a zip archive or an OLE2 compound file), whatever the
// file's name says.
bool IsSpreadsheetFile(const QString& fileName);

// The message after a table import.
QString TableImportSuccessText(const ImportCounts& counts);
