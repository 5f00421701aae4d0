// PNG images from a Windows module's resource section: the panel images of the Velmora module,
// and damaged resources of this test program's own (TestResources.rc).

#include "PanelImages.h"
#include "bitmap/LICE_ModuleResources.h"
#include "bitmap/LICE_Png.h"
#include "framework/graphics/NativeArtwork.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

std::string FileName(const char* path) {
  const std::string p = path;
  return p.substr(p.find_last_of("/\\") + 1);
}

bool SamePixels(const LICE_IBitmap& a, const LICE_IBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(LICE_RowAddress(a, y), LICE_RowAddress(a, y) + a.Width(), LICE_RowAddress(b, y))) return false;
  return true;
}

class VelmoraModuleResources : public ::testing::Test {
protected:
  void SetUp() override {
    mModule = LoadLibraryA(VELMORA_BINARY);
    ASSERT_NE(mModule, nullptr) << VELMORA_BINARY;
  }
  void TearDown() override {
    if (mModule) FreeLibrary(mModule);
  }
  HMODULE mModule = nullptr;
};

}  // namespace

TEST_F(VelmoraModuleResources, EveryPanelImageDecodesToItsListedSizeAndItsFile) {
  const LICE_ModuleResources resources(mModule);
  // Each image at 1x, then its copy drawn at 2x: twice the size, from the 2x/ folder.
  for (const int scale : {1, kNativeArtworkScale}) {
    for (const PanelImage& image : kPanelImages) {
      const int id = scale == 1 ? image.resourceId : image.resourceId + kNative2xResourceOffset;
      const std::string name = scale == 1 ? std::string(image.name) : Native2xResourceName(image.name);
      SCOPED_TRACE(name);
      const void* data = nullptr;
      size_t size = 0;
      ASSERT_TRUE(resources.Lookup(id, &data, &size));
      std::unique_ptr<LICE_IBitmap> fromModule(LoadPngResource(resources, id, name.c_str()));
      ASSERT_NE(fromModule, nullptr);
      const std::string file = std::string(VELMORA_IMAGE_DIR) + (scale == 1 ? "\\" : "\\2x\\") + FileName(image.name);
      std::unique_ptr<LICE_IBitmap> fromFile(DecodePngFile(file.c_str(), true));
      ASSERT_NE(fromFile, nullptr) << file;
      EXPECT_EQ(fromModule->Width(), image.width * scale);
      EXPECT_EQ(fromModule->Height(), image.height * scale);
      EXPECT_TRUE(SamePixels(*fromModule, *fromFile));
    }
  }
  // The ids are the panel's 101..115 and their 2x copies', nothing else of type PNG.
  const void* data = nullptr;
  size_t size = 0;
  EXPECT_FALSE(resources.Lookup(100, &data, &size));
  EXPECT_FALSE(resources.Lookup(116, &data, &size));
  EXPECT_FALSE(resources.Lookup(100 + kNative2xResourceOffset, &data, &size));
  EXPECT_FALSE(resources.Lookup(116 + kNative2xResourceOffset, &data, &size));
}

TEST_F(VelmoraModuleResources, TheNameMustBeAPngName) {
  const LICE_ModuleResources resources(mModule);
  std::unique_ptr<LICE_IBitmap> upper(LoadPngResource(resources, 101, "resources\\img\\BG.PNG"));
  EXPECT_NE(upper, nullptr);
  EXPECT_EQ(LoadPngResource(resources, 101, "resources/img/BG.bmp"), nullptr);
  EXPECT_EQ(LoadPngResource(resources, 101, "BG"), nullptr);
  EXPECT_EQ(LoadPngResource(resources, 101, nullptr), nullptr);
}

// The program's own resources (a null module means the program): damaged or wrongly typed data
// is refused, and the only image that gives pixels is the whole one.
TEST(ProgramResources, OnlyACompletePngOfTypePngGivesPixels) {
  const LICE_ModuleResources resources(nullptr);
  std::unique_ptr<LICE_IBitmap> small(LoadPngResource(resources, 201, "small.png"));
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(small->Width(), 3);
  EXPECT_EQ(small->Height(), 2);
  ASSERT_NE(small->Pixels(), nullptr);
  EXPECT_EQ(LICE_RowAddress(*small, 0)[1], LICE_MakePixel(0, 255, 0, 128));
  // High bits of the id are not part of a resource id.
  std::unique_ptr<LICE_IBitmap> high(LoadPngResource(resources, 0x70000 + 201, "small.png"));
  EXPECT_NE(high, nullptr);

  struct Case {
    int id;
    const char* what;
  } refused[] = {{202, "seven bytes"},
                 {203, "the signature alone"},
                 {205, "not a PNG"},
                 {206, "a PNG of type RCDATA"},
                 {207, "no such resource"}};
  for (const Case& c : refused) EXPECT_EQ(LoadPngResource(resources, c.id, "x.png"), nullptr) << c.what;
  // A whole header with its data cut short is laid out from the header; decoding it then gives
  // no pixels, read from nowhere past the resource's end.
  std::unique_ptr<LICE_IBitmap> cut(LoadPngResource(resources, 204, "cut.png"));
  if (cut) {
    EXPECT_EQ(cut->Pixels(), nullptr);
  }
}
