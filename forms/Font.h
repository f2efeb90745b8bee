// Fonts by name, size and weight, made for the DPI of the window that shows them.
#pragma once

#include <windows.h>

#include <string>

#include "Gdi.h"

namespace forms {

struct FontSpec {
    std::wstring face;
    float points = 8.25f;
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    BYTE charSet = ANSI_CHARSET;

    bool operator==(const FontSpec&) const = default;
};

// The font at the size it has on a screen of the given DPI (8.25 pt is 11 pixels high at 96 DPI).
// An empty Font when the system can't make one; the caller then keeps the system font.
Font MakeFont(const FontSpec& fontSpec, UINT dpi);

}  // namespace forms
