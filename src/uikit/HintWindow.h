#pragma once

// The program's tooltip look: a pale gradient-free yellow with dark text and the window
// font. Installed once at start, before the first tooltip shows.
void InstallHintWindow();
