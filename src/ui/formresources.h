#pragma once

// The pictures compiled into the program (message box skin and buttons, main window button
// faces, under ":/forms/"). The core is a static library, so its resources are registered
// explicitly before first use; calling this more than once is harmless.
void InitFormResources();
