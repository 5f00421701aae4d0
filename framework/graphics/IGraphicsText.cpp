#include "framework/graphics/IGraphics.h"

bool IGraphics::RenderText(ITextStyle& /*style*/, const char* text, IRect& /*rect*/, bool /*measureOnly*/) {
  if (!text || !*text) return true;
  // No font layer yet: nothing can be drawn or measured.
  return false;
}
