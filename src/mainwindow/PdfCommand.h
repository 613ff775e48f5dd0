#pragma once

struct AppContext;
class TForm_Tavisto;

// Wires "Als PDF speichern", the ribbon button and the menu entry, to the PDF export of
// the series: the selected sender and the address list's group, search and sort, with the
// desktop's save dialog.
void ConnectPdfCommand(AppContext& ctx, TForm_Tavisto& window);
