#pragma once
// The program's own pictures, drawn rather than loaded: a house over rising
// columns of a payment schedule, for the splash, About and update windows, and
// the small pictures of the update window's buttons.

#include "ExtCtrls.h"
#include "Graphics.h"

// Draws the picture into Bitmap at the given size (the bitmap is resized).
void DrawEmblem(TBitmap* Bitmap, int Width, int Height);
// Gives a window's image the picture at the image's own size.
void PutEmblem(TImage* Image);

enum class TButtonPicture {
    Check,     // a globe under a magnifying glass
    Retrieve,  // an arrow down into a tray
    Confirm    // a tick
};
// A 16-pixel-wide button picture on a fuchsia ground the button leaves out.
// Height is the button's picture height; the drawing is centred in it.
void DrawButtonPicture(TBitmap* Bitmap, TButtonPicture Kind, int Height = 16);
