// A GIF from the program's resources, decoded once into a bitmap with its transparent colour as alpha.
#pragma once

#include <windows.h>

#include "Gdi.h"

namespace forms {

class Picture {
public:
    Picture() = default;

    // The RCDATA resource of that ID in the running program. An empty picture when the resource is missing
    // or can't be decoded: the control then shows nothing and the window works on.
    static Picture FromResource(int resourceId);

    bool Empty() const { return !bitmap_; }
    int Width() const { return width_; }    // pixels of the picture itself
    int Height() const { return height_; }

    // Draws the picture at (x, y) in the given size, its transparent parts leaving the DC as it was.
    void Draw(HDC dc, int x, int y, int width, int height) const;

private:
    Bitmap bitmap_;  // 32-bit top-down DIB with premultiplied alpha
    int width_ = 0;
    int height_ = 0;
};

}  // namespace forms
