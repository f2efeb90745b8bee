// Twips to pixels and back.
#include "Twips.h"

#include <cmath>

namespace forms {

int TwipsToPixels(float twips, UINT dpi) {
    return MulDiv(static_cast<int>(std::lround(twips)), static_cast<int>(dpi), kTwipsPerInch);
}

float PixelsToTwips(int pixels, UINT dpi) {
    return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

}  // namespace forms
