#pragma once
#include "printwindows/TDLG_Drucken.h"

#include <QString>

struct AppContext;
class QWidget;


// The missing-printer question above, the return-envelope warning (when the swap is set),
// then the confirmation dialog.
// Returns Msg::IdYes, Msg::IdNo or Msg::IdCancel; callers print only on Yes.
int ConfirmPrint(AppContext& ctx, QWidget* parent, TDLGDruckTyp kind);

// Prints one envelope as its own one-page job "Tavisto". An envelope that does not fit the
// job's paper, or lines that its right edge cuts, are named first with "Trotzdem drucken"
// and "Abbrechen". False, nothing printed, when the sender does not exist, the format
// leaves the picture empty or the user cancels; a missing address prints
// the envelope without it. Database and printing errors pass on, after an open job was
// abandoned and the printer's orientation set back.
bool RunEinzeldruck(AppContext& ctx, const QString& absenderId, const QString& adresseId);

// The "Einzeldruck" command for the selected sender and address (empty when none).
void EinzeldruckCommand(AppContext& ctx, QWidget* parent, const QString& absenderId, const QString& adresseId);
