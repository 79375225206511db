#pragma once
// One call that registers every class of the platform layer a window
// definition may name (graphics objects, controls, forms, menus, dialogs,
// standard controls, panels and notebooks, grids) with the names of the
// colours, cursors and modal results. Static initialisers in static libraries
// are not reliably linked, so the program calls this at start. Safe to call
// more than once.

void RegisterPlatformClasses();
