#pragma once
// Between the sources of the window layer only.

#include "Controls.h"

class QKeyEvent;
class QRegion;
class QWidget;
template <class Key, class T>
class QHash;

HWND RegisterMessageTarget(TControl* Control);
void UnregisterMessageTarget(HWND Id);
TControl* FindTargetControl(HWND Id);
// Whether a widget application runs on a real display (not offscreen), where dialogs can show.
bool HaveDisplay();
class QImage;
// Whether the caret shows in Control's window now: where, gray or not, and its bitmap (or nullptr).
bool CaretVisibleIn(const TControl* Control, TRect& R, bool& Gray, const QImage*& Shape);

// Lends Painter to Canvas for one paint call; the canvas lets go of it however the call ends.
class TCanvasPainterScope {
public:
    TCanvasPainterScope(TCanvas* Canvas, QPainter& Painter) : FCanvas(Canvas) { FCanvas->SetPainter(&Painter); }
    ~TCanvasPainterScope() { FCanvas->SetPainter(nullptr); }
    TCanvasPainterScope(const TCanvasPainterScope&) = delete;
    TCanvasPainterScope& operator=(const TCanvasPainterScope&) = delete;

private:
    TCanvas* FCanvas;
};

// The virtual-key code of a Qt key event (0 when it has none).
Word VirtualKeyFromQt(int QtKey, unsigned QtModifiers);
// The modifiers and buttons of a Qt input event as a shift state.
TShiftState ShiftFromQt(unsigned QtModifiers, unsigned QtButtons);

// The toggled lock keys. Known stays false until the display system reports them.
struct TLockKeys {
    bool Known = false;
    bool NumLock = false;
    bool CapsLock = false;
};
// The lock keys after a key event (Press or release of QtKey) whose native
// modifier state is NativeModifiers; unchanged where the platform does not tell.
TLockKeys LockKeysAfterKey(TLockKeys Before, bool PlatformTells, unsigned NativeModifiers, int QtKey, bool Press);
TLockKeys LockKeys();
// Records what a key event tells of the lock keys (GetKeyState reads it).
void NoteLockKeys(const QKeyEvent* Event);

// The bridge between a windowed control and its widgets' Qt events.
QHash<QWidget*, TWinControl*>& WidgetMap();
// How deep the layer is in a widget's event handling (widgets are not deleted under it).
int BridgeDepth();
void ForgetFocus(HWND Id);
// An event filter on Widget (and owned by it) that delivers its events to Control.
TControlBridge* NewBridge(TWinControl* Control, QWidget* Widget);
void BridgeWatch(TControlBridge* Bridge, QWidget* Widget);
// The control is going: late events are ignored.
void DetachBridge(TControlBridge* Bridge);
// Runs the widget's own handling of the event Message came from (once).
bool BridgeRunNative(TControlBridge* Bridge, const TMessage& Message);
// Whether the bridge is inside a paint event, and the region being painted.
bool BridgeInPaint(TControlBridge* Bridge, const QRegion*& Region);
