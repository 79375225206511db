#pragma once
// Between the sources of the window layer only.

#include "Controls.h"

class QKeyEvent;

HWND RegisterMessageTarget(TControl* Control);
void UnregisterMessageTarget(HWND Id);
TControl* FindTargetControl(HWND Id);
bool CaretVisibleIn(const TControl* Control, TRect& R, bool& Gray);

// The virtual-key code of a Qt key event (0 when it has none).
Word VirtualKeyFromQt(int QtKey, unsigned QtModifiers);
// The modifiers and buttons of a Qt input event as a shift state.
TShiftState ShiftFromQt(unsigned QtModifiers, unsigned QtButtons);
