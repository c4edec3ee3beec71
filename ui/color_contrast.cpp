#include "ui/color_contrast.h"

#include <algorithm>
#include <cmath>

namespace kv::ui {
namespace {

double Linear(uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(TColor rgb) {
  return 0.2126 * Linear(RedOf(rgb)) + 0.7152 * Linear(GreenOf(rgb)) +
         0.0722 * Linear(BlueOf(rgb));
}

double ContrastRatio(TColor a, TColor b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TColor ReadableLinkColor(TColor preferred, TColor background) {
  if (ContrastRatio(preferred, background) >= kMinTextContrast) return preferred;
  return ContrastRatio(kLinkOnLight, background) >= ContrastRatio(kLinkOnDark, background)
             ? kLinkOnLight
             : kLinkOnDark;
}

}  // namespace kv::ui
