// Fonts at a window's DPI.
#include "Font.h"

#include <cmath>

namespace forms {

Font MakeFont(const FontSpec& spec, UINT dpi) {
    LOGFONTW font{};
    // A negative height asks for the character height without the internal leading: the point size.
    font.lfHeight = -static_cast<LONG>(std::lround(spec.points * static_cast<float>(dpi) / 72.0f));
    font.lfWeight = spec.weight;
    font.lfItalic = spec.italic ? TRUE : FALSE;
    font.lfUnderline = spec.underline ? TRUE : FALSE;
    font.lfCharSet = spec.charSet;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynW(font.lfFaceName, spec.face.c_str(), LF_FACESIZE);
    return Font(CreateFontIndirectW(&font));
}

}  // namespace forms
