#pragma once
// Whether one colour reads on another: the contrast ratio of two fixed colours (1 to 21,
// from their relative luminance), and a link colour that stays readable when the system's
// hot-light colour is too close to the background (some colour schemes make it nearly white
// on a light face). System colours must be resolved before they come here.
#include "ui/color.h"

namespace kv::ui {

double RelativeLuminance(TColor rgb);
double ContrastRatio(TColor a, TColor b);

// Text needs this ratio to be read comfortably at dialog font sizes.
inline constexpr double kMinTextContrast = 4.5;
// Links on light and on dark backgrounds when the preferred colour does not read.
inline constexpr TColor kLinkOnLight = RgbColor(0, 102, 204);
inline constexpr TColor kLinkOnDark = RgbColor(153, 204, 255);

// preferred when it reaches kMinTextContrast on background, else whichever of the two link
// colours reads better there.
TColor ReadableLinkColor(TColor preferred, TColor background);

}  // namespace kv::ui
