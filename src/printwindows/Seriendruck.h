#pragma once
#include "envelope/SeriendruckInput.h"

struct AppContext;
class QWidget;

// Prints one envelope, each its own job "Tavisto_Page_<n>", for every active address of
// the group under the search, with the progress window and a pause after every BreakCount
// envelopes. Before the first, a paper the envelopes do not fit and every address whose
// lines the envelope's edge cuts are named once, with "Trotzdem drucken" and "Abbrechen". True when the sender exists, also when nothing matched or the user stopped.
// Database and printing errors pass on after the open job was abandoned, the window
// closed and the printer's orientation set back.
bool RunSeriendruck(AppContext& ctx, const SeriendruckInput& input);

// Whether a sender and a group are selected; says which is missing when not.
bool SeriendruckSelectionGiven(AppContext& ctx, const SeriendruckInput& input);

// The "Seriendruck" command: the selection messages, the confirmation, and the main window
// disabled while the series runs (enabled again on every way out).
void SeriendruckCommand(AppContext& ctx, QWidget* mainWindow, const SeriendruckInput& input);
