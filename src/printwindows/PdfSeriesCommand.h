#pragma once
#include "envelope/SeriendruckInput.h"
#include "uikit/SaveFileChooser.h"

struct AppContext;
class QWidget;

// The "Als PDF speichern" command: the selection messages, the file (named after the
// group, ".pdf" added), the overwrite question, the progress window with "Abbrechen", and
// a message for the result.
void PdfSeriesCommand(AppContext& ctx, QWidget* parent, const SeriendruckInput& input, const SaveFileChooser& chooseFile);
