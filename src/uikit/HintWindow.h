#pragma once

// The program's tooltip look: pale yellow with dark text in the window font (Arial, 13
// pixels). Installed once at start, before the first tooltip shows.
void InstallHintWindow();
