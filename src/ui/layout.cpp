#include "ui/layout.h"

namespace layout {

int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  // Round half away from zero, so negative positions scale like positive ones.
  return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

Rect ToPixels(const Control& c, int dpi) {
  // Edges are converted, not sizes, so neighbouring controls stay flush at any DPI.
  const int l = TwipsToPixels(c.left, dpi), t = TwipsToPixels(c.top, dpi);
  return {l, t, TwipsToPixels(c.left + c.width, dpi) - l, TwipsToPixels(c.top + c.height, dpi) - t};
}

}  // namespace layout
