#pragma once
// The program's own picture, drawn rather than loaded: a house over rising
// columns of a payment schedule, for the splash and About windows.

#include "ExtCtrls.h"
#include "Graphics.h"

// Draws the picture into Bitmap at the given size (the bitmap is resized).
void DrawEmblem(TBitmap* Bitmap, int Width, int Height);
// Gives a window's image the picture at the image's own size.
void PutEmblem(TImage* Image);
