#include "PngTestWriter.h"
#include "bitmap/LICE_Png.h"
#include "bitmap/LICE_PngResource.h"
#include "bitmap/LICE_PngResourceBitmap.h"
#include "bitmap/LICE_SysBitmap.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

LICE_pixel Px(int r, int g, int b, int a) { return LICE_MakePixel(r, g, b, a); }

std::string Show(LICE_pixel p) {
  char text[48];
  std::snprintf(text, sizeof(text), "(r%d g%d b%d a%d)", LICE_PixelR(p), LICE_PixelG(p), LICE_PixelB(p),
                LICE_PixelA(p));
  return text;
}

using Bitmap = std::unique_ptr<LICE_MemBitmap>;

Bitmap Decode(const std::vector<uint8_t>& file) { return Bitmap(DecodePngBuffer(file.data(), file.size())); }

std::vector<uint8_t> SmallRgba() {
  PngImage s;
  s.width = 3;
  s.height = 2;
  s.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.rows = {{255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
  return EncodePng(s);
}

// A 16 x 16 image with varied content, so its compressed data spans many bytes.
std::vector<uint8_t> NoisyRgb() {
  PngImage s;
  s.width = 16;
  s.height = 16;
  s.colourType = PNG_COLOR_TYPE_RGB;
  uint32_t seed = 99;
  for (int y = 0; y < 16; ++y) {
    std::vector<uint8_t> row;
    for (int i = 0; i < 48; ++i) {
      seed = seed * 1103515245u + 12345u;
      row.push_back(static_cast<uint8_t>(seed >> 16));
    }
    s.rows.push_back(row);
  }
  return EncodePng(s);
}

struct ConversionCase {
  const char* name;
  PngImage image;
  std::vector<LICE_pixel> expected;  // row-major
};

std::vector<ConversionCase> ConversionCases() {
  std::vector<ConversionCase> cases;
  auto add = [&](const char* name, int w, int h, int type, int depth, std::vector<std::vector<uint8_t>> rows,
                 std::vector<LICE_pixel> expected) -> PngImage& {
    PngImage s;
    s.width = w;
    s.height = h;
    s.colourType = type;
    s.bitDepth = depth;
    s.rows = std::move(rows);
    cases.push_back({name, s, std::move(expected)});
    return cases.back().image;
  };
  add("RGBA keeps straight alpha", 3, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {{255, 0, 0, 255, 0, 255, 0, 128, 10, 20, 30, 0}},
      {Px(255, 0, 0, 255), Px(0, 255, 0, 128), Px(10, 20, 30, 0)});
  add("RGB without alpha is opaque", 2, 1, PNG_COLOR_TYPE_RGB, 8, {{10, 20, 30, 200, 150, 100}},
      {Px(10, 20, 30, 255), Px(200, 150, 100, 255)});
  add("RGB with a transparent colour", 2, 1, PNG_COLOR_TYPE_RGB, 8, {{10, 20, 30, 1, 2, 3}},
      {Px(10, 20, 30, 255), Px(1, 2, 3, 0)})
      .transparentColour = {1, 2, 3};
  {
    PngImage& s = add("palette with transparency", 3, 1, PNG_COLOR_TYPE_PALETTE, 8, {{0, 1, 2}},
                      {Px(255, 0, 0, 255), Px(0, 255, 0, 128), Px(0, 0, 255, 255)});
    s.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    s.paletteAlpha = {255, 128};
  }
  {
    // 4-bit indices 2, 0, 1 packed high nibble first.
    PngImage& s = add("4-bit palette", 3, 1, PNG_COLOR_TYPE_PALETTE, 4, {{0x20, 0x10}},
                      {Px(7, 8, 9, 255), Px(1, 2, 3, 255), Px(4, 5, 6, 255)});
    s.palette = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  }
  add("1-bit grey", 4, 1, PNG_COLOR_TYPE_GRAY, 1, {{0xA0}},
      {Px(255, 255, 255, 255), Px(0, 0, 0, 255), Px(255, 255, 255, 255), Px(0, 0, 0, 255)});
  add("2-bit grey", 4, 1, PNG_COLOR_TYPE_GRAY, 2, {{0x1B}},  // 0, 1, 2, 3
      {Px(0, 0, 0, 255), Px(85, 85, 85, 255), Px(170, 170, 170, 255), Px(255, 255, 255, 255)});
  add("8-bit grey with a transparent level", 2, 1, PNG_COLOR_TYPE_GRAY, 8, {{100, 7}},
      {Px(100, 100, 100, 255), Px(7, 7, 7, 0)})
      .transparentColour = {7};
  add("grey and alpha", 2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{100, 50, 255, 0}},
      {Px(100, 100, 100, 50), Px(255, 255, 255, 0)});
  add("16-bit grey and alpha", 1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {{0xAB, 0xCD, 0x12, 0x34}},
      {Px(0xAB, 0xAB, 0xAB, 0x12)});
  add("16-bit RGBA keeps the high bytes", 1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16,
      {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xFE, 0xDC}}, {Px(0x12, 0x56, 0x9A, 0xFE)});
  add("16-bit RGB", 1, 1, PNG_COLOR_TYPE_RGB, 16, {{0x80, 0xFF, 0x40, 0x00, 0x01, 0x99}}, {Px(0x80, 0x40, 0x01, 255)});
  {
    std::vector<std::vector<uint8_t>> rows;
    std::vector<LICE_pixel> expected;
    for (int y = 0; y < 5; ++y) {
      std::vector<uint8_t> row;
      for (int x = 0; x < 6; ++x) {
        row.insert(row.end(),
                   {static_cast<uint8_t>(x * 40), static_cast<uint8_t>(y * 50), 7, static_cast<uint8_t>(200 + x)});
        expected.push_back(Px(x * 40, y * 50, 7, 200 + x));
      }
      rows.push_back(row);
    }
    add("interlaced RGBA", 6, 5, PNG_COLOR_TYPE_RGB_ALPHA, 8, rows, expected).interlaced = true;
  }
  return cases;
}

}  // namespace

TEST(PngDecode, ConvertsEveryColourTypeToStraightBgra) {
  for (const ConversionCase& c : ConversionCases()) {
    const std::vector<uint8_t> file = EncodePng(c.image);
    ASSERT_FALSE(file.empty()) << c.name;
    Bitmap bm = Decode(file);
    ASSERT_NE(bm, nullptr) << c.name;
    ASSERT_EQ(bm->Width(), c.image.width) << c.name;
    ASSERT_EQ(bm->Height(), c.image.height) << c.name;
    for (int y = 0; y < c.image.height; ++y)
      for (int x = 0; x < c.image.width; ++x)
        EXPECT_EQ(Show(LICE_RowAddress(*bm, y)[x]), Show(c.expected[static_cast<size_t>(y * c.image.width + x)]))
            << c.name << " at " << x << "," << y;
  }
}

TEST(PngDecode, PixelBytesAreBlueGreenRedAlpha) {
  Bitmap bm = Decode(SmallRgba());
  ASSERT_NE(bm, nullptr);
  const auto* bytes = reinterpret_cast<const uint8_t*>(LICE_RowAddress(*bm, 1));
  EXPECT_EQ(bytes[0], 3);  // blue
  EXPECT_EQ(bytes[1], 2);
  EXPECT_EQ(bytes[2], 1);  // red
  EXPECT_EQ(bytes[3], 4);  // alpha
  EXPECT_EQ(bm->RowSpan(), 4);
}

TEST(PngDecode, RejectsBuffersThatAreNotWholePngFiles) {
  const std::vector<uint8_t> good = SmallRgba();
  ASSERT_NE(Decode(good), nullptr);

  const std::vector<uint8_t> signatureOnly(good.begin(), good.begin() + 8);
  EXPECT_EQ(Decode(signatureOnly), nullptr);
  const std::vector<uint8_t> seven(good.begin(), good.begin() + 7);
  EXPECT_EQ(Decode(seven), nullptr);
  EXPECT_EQ(DecodePngBuffer(nullptr, 100), nullptr);
  EXPECT_EQ(DecodePngBuffer(good.data(), 0), nullptr);

  std::vector<uint8_t> badSignature = good;
  badSignature[1] = 'Q';
  EXPECT_EQ(Decode(badSignature), nullptr);

  std::vector<uint8_t> badHeaderCrc = good;
  badHeaderCrc[30] ^= 0xFF;
  EXPECT_EQ(Decode(badHeaderCrc), nullptr);
}

TEST(PngDecode, TruncatedFilesFailWithoutReadingPastTheEnd) {
  const std::vector<uint8_t> file = NoisyRgb();
  ASSERT_GT(file.size(), 200u);
  // Everything short of the final 12-byte end chunk loses image data or its checksum.
  for (size_t cut = 8; cut + 12 < file.size(); ++cut) {
    // A copy of exactly cut bytes, so the sanitizers see any read past it.
    std::vector<uint8_t> part(file.begin(), file.begin() + static_cast<long>(cut));
    EXPECT_EQ(Decode(part), nullptr) << "cut at " << cut << " of " << file.size();
  }
}

TEST(PngDecode, RefusesHugeImagesBeforeTakingMemory) {
  EXPECT_EQ(Decode(PngHeaderOnly(20000, 20000)), nullptr);
  EXPECT_EQ(Decode(PngHeaderOnly(0x7FFFFFFF, 0x7FFFFFFF)), nullptr);
  EXPECT_EQ(Decode(PngHeaderOnly(1000000, 1)), nullptr);
  EXPECT_EQ(Decode(PngHeaderOnly(0, 5)), nullptr);
  // A plausible size whose data is missing.
  EXPECT_EQ(Decode(PngHeaderOnly(404, 634)), nullptr);
}

// Filmstrips stack their frames: a strip much taller than the widest image allowed still decodes
// (deferred or at once), up to the height limit.
TEST(PngDecode, TallFilmstripsDecode) {
  PngImage tall;
  tall.width = 2;
  tall.height = 20812;  // the panel's meter at 2x: 121 frames of 172 rows
  tall.colourType = PNG_COLOR_TYPE_GRAY;
  for (int y = 0; y < tall.height; ++y) tall.rows.push_back({static_cast<uint8_t>(y), static_cast<uint8_t>(y >> 8)});
  const std::vector<uint8_t> file = EncodePng(tall);
  Bitmap bm = Decode(file);
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->Height(), 20812);
  EXPECT_EQ(LICE_RowAddress(*bm, 20811)[1], LICE_MakePixel(20811 >> 8, 20811 >> 8, 20811 >> 8, 255));
  std::unique_ptr<LICE_PngResourceBitmap> deferred(LICE_PngResourceBitmap::FromHeader(file.data(), file.size()));
  ASSERT_NE(deferred, nullptr);
  EXPECT_EQ(deferred->Height(), 20812);

  const std::vector<uint8_t> tooTall = PngHeaderOnly(2, 65537);
  EXPECT_EQ(Decode(tooTall), nullptr);
  EXPECT_EQ(LICE_PngResourceBitmap::FromHeader(tooTall.data(), tooTall.size()), nullptr);
}

namespace {

// A file holding bytes, alone in a folder of its own.
class TempPng {
public:
  TempPng(const std::string& suffix, const std::vector<uint8_t>& bytes) : mPath(mFolder.Path("image" + suffix)) {
    std::FILE* f = std::fopen(mPath.c_str(), "wb");
    if (f) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
  }
  const char* Path() const { return mPath.c_str(); }

private:
  TempFolder mFolder;
  std::string mPath;
};

}  // namespace

TEST(PngFile, DecodesFilesAndChecksTheExtensionWhenAsked) {
  TempPng upper(".PNG", SmallRgba());
  std::unique_ptr<LICE_IBitmap> bm(DecodePngFile(upper.Path(), true));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->Width(), 3);
  EXPECT_EQ(LICE_RowAddress(*bm, 0)[1], Px(0, 255, 0, 128));

  TempPng other(".img", SmallRgba());
  EXPECT_EQ(DecodePngFile(other.Path(), true), nullptr);
  std::unique_ptr<LICE_IBitmap> unchecked(DecodePngFile(other.Path(), false));
  EXPECT_NE(unchecked, nullptr);

  EXPECT_EQ(DecodePngFile("/nonexistent/dir/x.png", false), nullptr);
  EXPECT_EQ(DecodePngFile(nullptr, false), nullptr);
  TempPng empty(".png", {});
  EXPECT_EQ(DecodePngFile(empty.Path(), true), nullptr);
  EXPECT_STREQ(PngFileTypeDescription(), "PNG files (*.PNG)");
}

TEST(PngFile, DecodesIntoAGivenBitmap) {
  TempPng file(".png", SmallRgba());
  LICE_SysBitmap target(100, 100);
  EXPECT_EQ(DecodePngFile(file.Path(), true, &target), &target);
  EXPECT_EQ(target.Width(), 3);
  EXPECT_EQ(target.Height(), 2);
  EXPECT_EQ(LICE_RowAddress(target, 1)[0], Px(1, 2, 3, 4));
}

TEST(PngFile, ExtensionRuleLooksAtTheFileNameOnly) {
  struct Case {
    const char* path;
    bool png;
  } cases[] = {{"a/b.png", true}, {"C:\\img\\BG.Png", true}, {"x.PNG", true},
               {".png", true},    {"a.png/b", false},        {"dir.png\\file", false},
               {"png", false},    {"a.pngx", false},         {"a.pn", false},
               {"", false},       {nullptr, false}};
  for (const Case& c : cases) EXPECT_EQ(HasPngExtension(c.path), c.png) << (c.path ? c.path : "(null)");
}

namespace {

class FakeResources final : public LICE_ResourceSource {
public:
  bool Lookup(int id, const void** data, size_t* length) const override {
    lastId = id;
    if (id == 101) {
      *data = png.data();
      *length = png.size();
      return true;
    }
    if (id == 102) {
      *data = png.data();
      *length = 7;
      return true;
    }
    return false;
  }
  std::vector<uint8_t> png = SmallRgba();
  mutable int lastId = -1;
};

}  // namespace

TEST(PngResource, LoadsByIdWhenTheNameIsAPngName) {
  FakeResources res;
  std::unique_ptr<LICE_IBitmap> bm(LoadPngResource(res, 101, "resources/img/BG.png"));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->Width(), 3);

  // Only the low 16 bits of the id count.
  std::unique_ptr<LICE_IBitmap> high(LoadPngResource(res, 0x10000 + 101, "BG.PNG"));
  EXPECT_NE(high, nullptr);
  EXPECT_EQ(res.lastId, 101);

  EXPECT_EQ(LoadPngResource(res, 101, "resources/img/BG.jpg"), nullptr);
  EXPECT_EQ(LoadPngResource(res, 102, "short.png"), nullptr);
  EXPECT_EQ(LoadPngResource(res, 103, "missing.png"), nullptr);
}

// Resources are laid out from their headers and decoded when their pixels are first needed, to
// exactly the pixels an immediate decode gives; a body that turns out damaged has no pixels.
TEST(PngResource, DecodesWhenThePixelsAreFirstNeeded) {
  const std::vector<uint8_t> noisy = NoisyRgb();
  std::unique_ptr<LICE_PngResourceBitmap> bm(LICE_PngResourceBitmap::FromHeader(noisy.data(), noisy.size()));
  ASSERT_NE(bm, nullptr);
  EXPECT_EQ(bm->Width(), 16);
  EXPECT_EQ(bm->Height(), 16);
  EXPECT_FALSE(bm->Decoded());

  // Two threads asking at once get the one decoded image.
  LICE_pixel* seen[2] = {};
  std::thread a([&] { seen[0] = bm->Pixels(); });
  std::thread b([&] { seen[1] = bm->Pixels(); });
  a.join();
  b.join();
  EXPECT_TRUE(bm->Decoded());
  ASSERT_NE(seen[0], nullptr);
  EXPECT_EQ(seen[0], seen[1]);

  const Bitmap eager = Decode(noisy);
  ASSERT_EQ(bm->RowSpan(), eager->RowSpan());
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(LICE_RowAddress(*bm, y)[x], LICE_RowAddress(*eager, y)[x]) << x << "," << y;

  const std::vector<uint8_t> damaged = PngHeaderOnly(404, 634);
  std::unique_ptr<LICE_PngResourceBitmap> broken(LICE_PngResourceBitmap::FromHeader(damaged.data(), damaged.size()));
  ASSERT_NE(broken, nullptr);
  EXPECT_EQ(broken->Width(), 404);
  EXPECT_EQ(broken->Pixels(), nullptr);
  EXPECT_EQ(broken->RowSpan(), 0);
  EXPECT_TRUE(broken->Decoded());

  // Headers the decoder would refuse, and buffers too short for a header, are not deferred.
  const std::vector<uint8_t> huge = PngHeaderOnly(20000, 20), empty = PngHeaderOnly(0, 5);
  EXPECT_EQ(LICE_PngResourceBitmap::FromHeader(huge.data(), huge.size()), nullptr);
  EXPECT_EQ(LICE_PngResourceBitmap::FromHeader(empty.data(), empty.size()), nullptr);
  EXPECT_EQ(LICE_PngResourceBitmap::FromHeader(noisy.data(), 20), nullptr);
  EXPECT_EQ(LICE_PngResourceBitmap::FromHeader(nullptr, 100), nullptr);
}

TEST(PngResource, NameRuleTakesTheTextAfterTheLastDot) {
  struct Case {
    const char* name;
    bool png;
  } cases[] = {{"resources/img/BG.png", true}, {"BG.PNG", true},  {"a.b.pNg", true}, {"BG.jpg", false}, {"BG", false},
               {"a.png.bak", false},           {"a.pngx", false}, {nullptr, false}};
  for (const Case& c : cases) EXPECT_EQ(IsPngResourceName(c.name), c.png) << (c.name ? c.name : "(null)");
}
