#pragma once
// Tests that measure or draw text need a GUI application for the font
// database; this makes one (offscreen unless a platform is chosen) once per
// test program.

void EnsureGuiApp();
