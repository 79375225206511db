#pragma once
// Window messages with the platform's numbers, the typed views the message
// handlers take, virtual-key codes and the shift state.
//
// A TMessage travels through TControl::Perform/WndProc/Dispatch. The typed
// views (TWMKey, TWMMouse, ...) are thin wrappers over a TMessage that read and
// write its fields, so a handler that clears a key code or sets Result changes
// the message its caller sees.

#include <cstdint>

#include "Types.h"

// A message target: a control's window or a hidden target from AllocateHWnd.
// 0 means none. Handles are never reused within a run.
using HWND = uintptr_t;
using WPARAM = intptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct TMessage {
    unsigned Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

inline LPARAM MakeLParam(int low, int high) {
    return LPARAM(uint32_t(uint16_t(low)) | (uint32_t(uint16_t(high)) << 16));
}
inline int LoWordSigned(LPARAM v) { return int16_t(uint16_t(v & 0xFFFF)); }
inline int HiWordSigned(LPARAM v) { return int16_t(uint16_t((v >> 16) & 0xFFFF)); }
inline Word LoWord(intptr_t v) { return Word(v & 0xFFFF); }
inline Word HiWord(intptr_t v) { return Word((v >> 16) & 0xFFFF); }

// ---- Windows messages ------------------------------------------------------
enum : unsigned {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETREDRAW = 0x000B,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUERYENDSESSION = 0x0011,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SYSCOLORCHANGE = 0x0015,
    WM_SHOWWINDOW = 0x0018,
    WM_SETTINGCHANGE = 0x001A,
    WM_WININICHANGE = 0x001A,
    WM_ACTIVATEAPP = 0x001C,
    WM_CANCELMODE = 0x001F,
    WM_SETCURSOR = 0x0020,
    WM_MOUSEACTIVATE = 0x0021,
    WM_GETMINMAXINFO = 0x0024,
    WM_NEXTDLGCTL = 0x0028,
    WM_DRAWITEM = 0x002B,
    WM_MEASUREITEM = 0x002C,
    WM_SETFONT = 0x0030,
    WM_GETFONT = 0x0031,
    WM_WINDOWPOSCHANGED = 0x0047,
    WM_HELP = 0x0053,
    WM_CONTEXTMENU = 0x007B,
    WM_NCHITTEST = 0x0084,
    WM_GETDLGCODE = 0x0087,
    WM_KEYFIRST = 0x0100,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_DEADCHAR = 0x0103,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCHAR = 0x0106,
    WM_KEYLAST = 0x0108,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    WM_INITMENUPOPUP = 0x0117,
    WM_MENUSELECT = 0x011F,
    WM_ENTERIDLE = 0x0121,
    WM_MOUSEFIRST = 0x0200,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,
    WM_MOUSELAST = 0x020A,
    WM_CAPTURECHANGED = 0x0215,
    WM_MOUSELEAVE = 0x02A3,
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
    WM_UNDO = 0x0304,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};

// Edit-control messages.
enum : unsigned {
    EM_GETSEL = 0x00B0,
    EM_SETSEL = 0x00B1,
    EM_GETRECT = 0x00B2,
    EM_SCROLLCARET = 0x00B7,
    EM_GETMODIFY = 0x00B8,
    EM_SETMODIFY = 0x00B9,
    EM_GETLINECOUNT = 0x00BA,
    EM_REPLACESEL = 0x00C2,
    EM_LIMITTEXT = 0x00C5,
    EM_CANUNDO = 0x00C6,
    EM_UNDO = 0x00C7,
    EM_SETREADONLY = 0x00CF,
};

// Control messages of the class library.
enum : unsigned {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_GOTFOCUS = CM_BASE + 2,
    CM_LOSTFOCUS = CM_BASE + 3,
    CM_CANCELMODE = CM_BASE + 4,
    CM_DIALOGKEY = CM_BASE + 5,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_FOCUSCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_CTL3DCHANGED = CM_BASE + 16,
    CM_PARENTCTL3DCHANGED = CM_BASE + 17,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_MENUCHANGED = CM_BASE + 21,
    CM_APPKEYDOWN = CM_BASE + 22,
    CM_APPSYSCOMMAND = CM_BASE + 23,
    CM_BUTTONPRESSED = CM_BASE + 24,
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_DESIGNHITTEST = CM_BASE + 28,
    CM_ICONCHANGED = CM_BASE + 29,
    CM_WANTSPECIALKEY = CM_BASE + 30,
    CM_INVOKEHELP = CM_BASE + 31,
    CM_WINDOWHOOK = CM_BASE + 32,
    CM_RELEASE = CM_BASE + 33,
    CM_SHOWHINTCHANGED = CM_BASE + 34,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
    CM_SYSCOLORCHANGE = CM_BASE + 36,
    CM_WININICHANGE = CM_BASE + 37,
    CM_FONTCHANGE = CM_BASE + 38,
    CM_TIMECHANGE = CM_BASE + 39,
    CM_TABSTOPCHANGED = CM_BASE + 40,
    CM_UIACTIVATE = CM_BASE + 41,
    CM_UIDEACTIVATE = CM_BASE + 42,
    CM_DOCWINDOWACTIVATE = CM_BASE + 43,
    CM_CONTROLLISTCHANGE = CM_BASE + 44,
    CM_GETDATALINK = CM_BASE + 45,
    CM_CHILDKEY = CM_BASE + 46,
    CM_DRAG = CM_BASE + 47,
    CM_HINTSHOW = CM_BASE + 48,
    CM_DIALOGHANDLE = CM_BASE + 49,
    CM_ISTOOLCONTROL = CM_BASE + 50,
    CM_RECREATEWND = CM_BASE + 51,
    CM_INVALIDATE = CM_BASE + 52,
    CM_SYSFONTCHANGED = CM_BASE + 53,
    CM_CONTROLCHANGE = CM_BASE + 54,
    CM_CHANGED = CM_BASE + 55,
    CM_BORDERCHANGED = CM_BASE + 59,
    CM_MOUSEWHEEL = CM_BASE + 67,
};

// Notifications reflected back to the control that caused them.
enum : unsigned {
    CN_BASE = 0xBC00,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
    CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_KEYUP = CN_BASE + WM_KEYUP,
    CN_CHAR = CN_BASE + WM_CHAR,
    CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
    CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
};

// WM_GETDLGCODE answers.
enum : unsigned {
    DLGC_WANTARROWS = 0x0001,
    DLGC_WANTTAB = 0x0002,
    DLGC_WANTALLKEYS = 0x0004,
    DLGC_WANTMESSAGE = 0x0004,
    DLGC_HASSETSEL = 0x0008,
    DLGC_WANTCHARS = 0x0080,
};

// Mouse key flags in WParam of mouse messages.
enum : unsigned {
    MK_LBUTTON = 0x0001,
    MK_RBUTTON = 0x0002,
    MK_SHIFT = 0x0004,
    MK_CONTROL = 0x0008,
    MK_MBUTTON = 0x0010
};

// WM_SIZE kinds.
enum : unsigned { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };

// WM_ACTIVATE states.
enum : unsigned { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };

// ---- Virtual-key codes -----------------------------------------------------
enum : Word {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SELECT = 0x29,
    VK_PRINT = 0x2A,
    VK_EXECUTE = 0x2B,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    // '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as their characters.
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD1,
    VK_NUMPAD2,
    VK_NUMPAD3,
    VK_NUMPAD4,
    VK_NUMPAD5,
    VK_NUMPAD6,
    VK_NUMPAD7,
    VK_NUMPAD8,
    VK_NUMPAD9,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2,
    VK_F3,
    VK_F4,
    VK_F5,
    VK_F6,
    VK_F7,
    VK_F8,
    VK_F9,
    VK_F10,
    VK_F11,
    VK_F12,
    VK_F13,
    VK_F14,
    VK_F15,
    VK_F16,
    VK_F17,
    VK_F18,
    VK_F19,
    VK_F20,
    VK_F21,
    VK_F22,
    VK_F23,
    VK_F24,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF,
    VK_OEM_3 = 0xC0,
    VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD,
    VK_OEM_7 = 0xDE,
};

// ---- Shift state -----------------------------------------------------------
enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftStateFlag>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// KeyData bit 29: the Alt key was down (as the platform sets it for key messages).
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;

// The shift state of a key message: Alt from its KeyData, Shift and Ctrl from
// the keyboard state the layer tracks (GetKeyState).
TShiftState KeyDataToShiftState(LPARAM keyData);
// The shift state of a mouse message's WParam.
TShiftState KeysToShiftState(WPARAM keys);

// The platform's key-state query: the high bit (0x8000 as a negative short)
// while a key is held, the low bit while a toggle key is on. The layer knows
// the modifiers and mouse buttons from the input it has dispatched; NumLock,
// CapsLock and ScrollLock read as off where the display system cannot tell.
int16_t GetKeyState(int virtKey);

// ---- Typed views -------------------------------------------------------------
// Each view refers to the TMessage it was made from.

struct TWMNoParams {
    TMessage& M;
    explicit TWMNoParams(TMessage& m) : M(m) {}
    unsigned Msg() const { return M.Msg; }
    LRESULT& Result() { return M.Result; }
};

// WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSCHAR, CN_KEYDOWN, CN_CHAR.
// For the character messages CharCode is the Unicode code point of the character.
struct TWMKey : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    Word CharCode() const { return Word(M.WParam); }
    void SetCharCode(Word c) { M.WParam = c; }
    LPARAM KeyData() const { return M.LParam; }
    TShiftState Shift() const { return KeyDataToShiftState(M.LParam); }
};
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMChar = TWMKey;

// Mouse messages; XPos and YPos are client coordinates of the receiving control.
struct TWMMouse : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    unsigned Keys() const { return unsigned(M.WParam); }
    int XPos() const { return LoWordSigned(M.LParam); }
    int YPos() const { return HiWordSigned(M.LParam); }
    TPoint Pos() const { return TPoint{XPos(), YPos()}; }
    TShiftState Shift() const { return KeysToShiftState(M.WParam); }
};

// WM_MOUSEWHEEL: WParam low word the keys, high word the signed delta (120 a notch);
// LParam the screen position.
struct TWMMouseWheel : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    unsigned Keys() const { return LoWord(M.WParam); }
    int WheelDelta() const { return HiWordSigned(M.WParam); }
    int XPos() const { return LoWordSigned(M.LParam); }
    int YPos() const { return HiWordSigned(M.LParam); }
    TShiftState Shift() const { return KeysToShiftState(Keys()); }
};

// WM_SETFOCUS / WM_KILLFOCUS: WParam is the handle of the other control (0 when
// focus comes from or goes to no control of this program).
struct TWMSetFocus : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    HWND FocusedWnd() const { return HWND(M.WParam); }
};
using TWMKillFocus = TWMSetFocus;

class QPainter;
// WM_PAINT: the painter open on the receiving window, when the layer paints.
struct TWMPaint : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    QPainter* Painter() const { return reinterpret_cast<QPainter*>(M.WParam); }
};

// WM_SIZE: WParam the kind (SIZE_RESTORED, ...), LParam the new client width and height.
struct TWMSize : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    unsigned SizeType() const { return unsigned(M.WParam); }
    int Width() const { return LoWord(M.LParam); }
    int Height() const { return HiWord(M.LParam); }
};

// WM_MOVE: LParam the new position.
struct TWMMove : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    int XPos() const { return LoWordSigned(M.LParam); }
    int YPos() const { return HiWordSigned(M.LParam); }
};

// WM_TIMER: WParam the timer id.
struct TWMTimer : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    uintptr_t TimerID() const { return uintptr_t(M.WParam); }
};

// WM_SHOWWINDOW: WParam non-zero when shown.
struct TWMShowWindow : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    bool Show() const { return M.WParam != 0; }
};

// WM_ACTIVATE: low word of WParam the state (WA_...), LParam the other window.
struct TWMActivate : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    unsigned Active() const { return LoWord(M.WParam); }
    HWND ActiveWindow() const { return HWND(M.LParam); }
};

// WM_CONTEXTMENU: LParam the screen position, (-1, -1) when from the keyboard.
struct TWMContextMenu : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    int XPos() const { return LoWordSigned(M.LParam); }
    int YPos() const { return HiWordSigned(M.LParam); }
};

// WM_GETMINMAXINFO: LParam points at the limits, in pixels of the whole window.
struct TMinMaxInfo {
    TPoint ptReserved;
    TPoint ptMaxSize;
    TPoint ptMaxPosition;
    TPoint ptMinTrackSize;
    TPoint ptMaxTrackSize;
};
struct TWMGetMinMaxInfo : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    TMinMaxInfo* MinMaxInfo() const { return reinterpret_cast<TMinMaxInfo*>(M.LParam); }
};

// WM_COMMAND: low word the id, high word the notification code, LParam the control.
struct TWMCommand : TWMNoParams {
    using TWMNoParams::TWMNoParams;
    Word ItemID() const { return LoWord(M.WParam); }
    Word NotifyCode() const { return HiWord(M.WParam); }
    HWND Ctl() const { return HWND(M.LParam); }
};

// CM_DIALOGKEY, CM_DIALOGCHAR, CM_WANTSPECIALKEY, CM_CHILDKEY use TWMKey.
// CM_ENTER, CM_EXIT, CM_MOUSEENTER, CM_MOUSELEAVE: LParam the control concerned (for
// the mouse messages of a graphic control), see Controls.h.
