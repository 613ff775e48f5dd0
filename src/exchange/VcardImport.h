#pragma once
#include <QString>

struct AppContext;

// The vCard import of a chosen file: one address per card with a name or an
// organisation, in one transaction like the CSV import. The information afterwards says
// how many cards were imported and skipped and whether remarks were shortened. True when
// the address list must be reloaded. A file that cannot be read raises ExchangeError.
bool ImportVcardFile(AppContext& ctx, const QString& gruppeId, const QString& fileName);

// The success text for the counts of one import.
QString VcardImportSuccessText(int imported, int skipped, int shortened);
