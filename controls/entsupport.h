#pragma once
// Font and text-measuring helpers of the entry controls that need the
// platform's graphics: rotated fonts, vertical text centring and the path
// shortening of menus in the menu font.

#include <cstdint>
#include <memory>
#include <string>

#include "Controls.h"
#include "entstr.h"

class TFont;

// A copy of the font turned by the angle (degrees, counter-clockwise), with
// the default character set. The caller owns it (assign it to a canvas font).
std::unique_ptr<TFont> CreateRotatedFont(const TFont* font, int angle);

// The top margin that centres one line of the font vertically in a control
// of that height.
int GetTopTextMargin(const TFont* font, TEntBorder border, int height, TEntBorderLook look);

// The keyboard's shift state as command-table bits: 4 Ctrl + 2 Shift + 8 Alt.
uint8_t GetShiftFlags();
// The virtual key of the primary mouse button.
int PrimaryMouseButton();

// A named cursor of the controls ("ENTTABCURSOR", the notebook's tab cursor),
// name compared without regard to case; an unknown name gives crDefault, as a
// missing cursor resource leaves the default cursor.
TCursor LoadEntCursor(const std::string& name);
inline TCursor LoadTabCursor(const std::string& name) { return LoadEntCursor(name); }

// Measures texts in the system menu font.
TEntTextMeasure MenuFontMeasure();
// ShortenPath in the system menu font.
std::string ShortenPath(const std::string& path, int width);
// A menu caption that fits the width: the same shortening of a file path.
inline std::string ShortenMenuCaption(const std::string& text, int width) { return ShortenPath(text, width); }
