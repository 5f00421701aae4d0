#pragma once
// A pixel rectangle of the bitmap layer: left, top, right, bottom, right and bottom exclusive.

struct LICE_Rect {
  int L = 0;
  int T = 0;
  int R = 0;
  int B = 0;

  LICE_Rect() = default;
  LICE_Rect(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}
  int Width() const { return R - L; }
  int Height() const { return B - T; }
};
