#include "framework/graphics/ISwitchControl.h"

void ISwitchControl::OnPress(int /*x*/, int /*y*/, const IModifiers& /*mods*/) {
  const int n = mFilmstrip.N;
  const double step = n > 1 ? 1.0 / (n - 1) : 1.0;
  double v = mValue + step;
  // The tolerance absorbs the rounding of repeated 1/(N-1) steps before the wrap.
  if (v > 1.001) v = 0.0;
  mValue = v;
  MarkDirty(true);
}
