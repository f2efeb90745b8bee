// Fonts at a window's DPI.
#include "Font.h"

#include <cmath>

namespace forms {

Font MakeFont(const FontSpec& fontSpec, UINT dpi) {
    LOGFONTW font{};
    // A negative height asks for the character height without the internal leading: the point size.
    font.lfHeight = -static_cast<LONG>(std::lround(fontSpec.points * static_cast<float>(dpi) / 72.0f));
    font.lfWeight = fontSpec.weight;
    font.lfItalic = fontSpec.italic ? TRUE : FALSE;
    font.lfUnderline = fontSpec.underline ? TRUE : FALSE;
    font.lfCharSet = fontSpec.charSet;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(font.lfFaceName, fontSpec.face.c_str(), LF_FACESIZE);
    return Font(CreateFontIndirectW(&font));
}

}  // namespace forms
