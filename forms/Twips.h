// Positions and sizes in twips (1/1440 inch) and their one conversion to pixels at a window's DPI.
#pragma once

#include <windows.h>

namespace forms {

constexpr int kTwipsPerInch = 1440;

// A rectangle as the layout tables give it: left, top, width and height in twips.
struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// The one place where twips become pixels: 15 twips per pixel at 96 DPI, rounded to the nearest pixel.
int TwipsToPixels(float twips, UINT dpi);

// Pixels read back from a window, in twips at the window's DPI.
float PixelsToTwips(int pixels, UINT dpi);

}  // namespace forms
