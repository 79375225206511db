#pragma once
// Desktop services the system components stand on: the mouse pointer's
// position and the screen's colour under it, and an icon in the desktop's
// notification area.

#include <functional>
#include <memory>
#include <string>

#include "Graphics.h"
#include "Types.h"

TPoint GetCursorPos();
// The colour of the screen at a point; clBlack where nothing can be read.
TColor GetScreenPixel(TPoint Pos);

// Moves a file or folder to the desktop's trash (the freedesktop.org trash:
// $XDG_DATA_HOME/Trash for the home file system, the volume's own trash
// elsewhere); false with the reason when it cannot.
bool MoveToTrash(const std::string& Path, std::string& Error);

// Lets the window system move the control's window with the mouse, as a drag
// of its title bar would; false when it cannot.
class TWinControl;
bool StartWindowDrag(TWinControl* Control);

// An icon in the notification area. What the person does with it arrives as
// the mouse message it stands for (WM_LBUTTONDOWN, WM_LBUTTONUP,
// WM_LBUTTONDBLCLK, the right and middle button pairs) or as a balloon's
// notification: 0x402 shown, 0x404 timed out, 0x405 clicked.
class TTrayIconHost {
public:
    TTrayIconHost();
    ~TTrayIconHost();
    TTrayIconHost(const TTrayIconHost&) = delete;
    TTrayIconHost& operator=(const TTrayIconHost&) = delete;

    // Whether the desktop has a notification area at all.
    static bool Available();
    void SetImage(TBitmap* Image);
    void SetToolTip(const std::string& Text);
    void SetVisible(bool Value);
    bool Visible() const;
    // Type 0 none, 1 information, 2 warning, 3 error.
    void ShowBalloon(const std::string& Title, const std::string& Text, int Type, int TimeoutMs);

    std::function<void(unsigned Message)> OnMessage;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

inline constexpr unsigned NIN_BALLOONSHOW = 0x402, NIN_BALLOONTIMEOUT = 0x404, NIN_BALLOONUSERCLICK = 0x405;
