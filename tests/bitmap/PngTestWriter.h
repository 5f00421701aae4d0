#pragma once
// Builds small PNG files in memory with libpng's writer, for decoder tests.

#include <cstdint>
#include <vector>

struct PngImage {
  int width = 1;
  int height = 1;
  int colourType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  // Packed rows exactly as PNG stores them (16-bit samples big-endian), height rows.
  std::vector<std::vector<uint8_t>> rows;
  // Palette entries as r, g, b triples.
  std::vector<uint8_t> palette;
  // tRNS: per palette entry alphas, or for grey/RGB the transparent colour (1 or 3 values).
  std::vector<uint8_t> paletteAlpha;
  std::vector<uint16_t> transparentColour;
};

// The encoded file; empty when libpng refused the description.
std::vector<uint8_t> EncodePng(const PngImage& image);

// A minimal file whose header claims width x height (with a valid CRC), followed by nothing.
std::vector<uint8_t> PngHeaderOnly(uint32_t width, uint32_t height);
