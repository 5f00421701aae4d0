#pragma once
// An editor rectangle in pixels; right and bottom are exclusive. Only the all-zero rectangle is
// empty: a rectangle with R <= L but some non-zero field still takes part in the tests below.

#include <algorithm>
#include <cstdint>

struct IRect {
  int32_t L = 0, T = 0, R = 0, B = 0;

  IRect() = default;
  IRect(int32_t l, int32_t t, int32_t r, int32_t b) : L(l), T(t), R(r), B(b) {}

  int W() const { return R - L; }
  int H() const { return B - T; }
  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }

  bool Contains(int x, int y) const { return !Empty() && L <= x && x < R && T <= y && y < B; }

  // Touching on this rectangle's right or bottom edge counts; the intersection is then zero-wide
  // or zero-high and draws nothing. Not symmetric, so callers keep the order the drawing code uses.
  bool Overlaps(const IRect& b) const { return !Empty() && !b.Empty() && R >= b.L && L < b.R && B >= b.T && T < b.B; }

  IRect Intersect(const IRect& b) const {
    return IRect(std::max(L, b.L), std::max(T, b.T), std::min(R, b.R), std::min(B, b.B));
  }

  // The bounding box; an empty rectangle adds nothing.
  IRect Union(const IRect& b) const {
    if (Empty()) return b;
    if (b.Empty()) return *this;
    return IRect(std::min(L, b.L), std::min(T, b.T), std::max(R, b.R), std::max(B, b.B));
  }

  bool operator==(const IRect& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRect& o) const { return !(*this == o); }
};
