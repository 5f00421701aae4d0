// The Win32 editor's pieces that need nothing on the screen: the key table, the file dialog's
// filter (with its bounds), the popup menu's numbering, and what the editor answers with no
// window open.

#include "framework/graphics/IMenu.h"
#include "framework/graphics/platform/win32/FileDialogFilter.h"
#include "framework/graphics/platform/win32/IGraphicsWin.h"
#include "framework/graphics/platform/win32/PopupMenuIds.h"
#include "framework/graphics/platform/win32/Win32Keys.h"
#include "tests/framework/TestPlug.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

TEST(Win32Keys, TheTableMapsSpaceArrowsDigitsAndLettersAndNothingElse) {
  const struct {
    int vk, code;
  } cases[] = {{VK_SPACE, 0},   {VK_UP, 1},      {VK_DOWN, 2},  {VK_LEFT, 3},  {VK_RIGHT, 4}, {'0', 5},
               {'9', 14},       {'A', 15},       {'Z', 40},     {97, 15},      {122, 40},     {VK_TAB, -1},
               {VK_ESCAPE, -1}, {VK_RETURN, -1}, {'0' - 1, -1}, {'Z' + 1, -1}, {123, -1},     {VK_SHIFT, -1}};
  for (const auto& c : cases) EXPECT_EQ(EditorKeyOfVirtualKey(c.vk), c.code) << c.vk;
}

TEST(FileDialogFilter, PatternsJoinedAsDescriptionAndPatternWithTheFirstAsDefault) {
  char filter[256], ext[16];
  ASSERT_TRUE(BuildFileDialogFilter("wav  aif", filter, sizeof(filter), ext, sizeof(ext)));
  const char expected[] = "*.wav;*.aif\0*.wav;*.aif\0";
  EXPECT_EQ(std::memcmp(filter, expected, sizeof(expected)), 0);
  EXPECT_STREQ(ext, "wav");
}

TEST(FileDialogFilter, ListsThatWouldOverflowTheBuffersFailWithoutWritingPastThem) {
  std::string many;
  for (int i = 0; i < 40; ++i) many += "ext ";  // 40 x "*.ext;" twice is far over 255
  char filter[256 + 8];
  char ext[16 + 8];
  std::memset(filter, 'G', sizeof(filter));
  std::memset(ext, 'G', sizeof(ext));
  EXPECT_FALSE(BuildFileDialogFilter(many.c_str(), filter, 256, ext, 16));
  EXPECT_EQ(filter[0], '\0');
  for (size_t i = 256; i < sizeof(filter); ++i) EXPECT_EQ(filter[i], 'G');
  // A first extension longer than the default-extension buffer, and lists with none.
  EXPECT_FALSE(BuildFileDialogFilter("abcdefghijklmnop", filter, 256, ext, 16));
  for (size_t i = 16; i < sizeof(ext); ++i) EXPECT_EQ(ext[i], 'G');
  EXPECT_FALSE(BuildFileDialogFilter("", filter, 256, ext, 16));
  EXPECT_FALSE(BuildFileDialogFilter(nullptr, filter, 256, ext, 16));
  // Exactly full still fits: a 126-character pattern takes 2 x (126 + 1) + 1 = 255 bytes.
  const std::string longest = std::string(124, 'x');
  char longExt[200];
  EXPECT_TRUE(BuildFileDialogFilter(longest.c_str(), filter, 256, longExt, sizeof(longExt)));
  EXPECT_FALSE(BuildFileDialogFilter((longest + "y").c_str(), filter, 256, longExt, sizeof(longExt)));
}

TEST(PopupMenuIds, NumbersDepthFirstWithSubmenusAfterTheirParentsItems) {
  IMenu top;
  top.AddItem("a");
  IMenu* sub = new IMenu();
  sub->AddItem("b1");
  IMenu* subsub = new IMenu();
  subsub->AddItem("c1");
  sub->AddItem("b2", 0, subsub);
  top.AddItem("sub", 0, sub);
  IMenu* second = new IMenu();
  second->AddItem("d1");
  second->AddItem("d2");
  top.AddItem("second", 0, second);
  top.AddItem("e");

  const PopupMenuIds ids(top);
  EXPECT_EQ(ids.FirstOf(&top), 0);    // a, sub, second, e: 0..3
  EXPECT_EQ(ids.FirstOf(sub), 4);     // b1, b2: 4, 5
  EXPECT_EQ(ids.FirstOf(subsub), 6);  // c1: 6
  EXPECT_EQ(ids.FirstOf(second), 7);  // d1, d2: 7, 8
  EXPECT_EQ(ids.Count(), 9);
  EXPECT_EQ(ids.Choose(3), &top);
  EXPECT_EQ(top.ChosenIdx(), 3);
  EXPECT_EQ(ids.Choose(6), subsub);
  EXPECT_EQ(subsub->ChosenIdx(), 0);
  EXPECT_EQ(ids.Choose(8), second);
  EXPECT_EQ(second->ChosenIdx(), 1);
  EXPECT_EQ(ids.Choose(9), nullptr);
  EXPECT_EQ(ids.Choose(-1), nullptr);
}

TEST(IGraphicsWinClosed, AnswersPlainlyWithoutAWindowAndFailsCleanlyToOpenOne) {
  TestPlug plug;
  IGraphicsWin* graphics = new IGraphicsWin(&plug, 100, 80, 25);
  plug.AttachGraphics(graphics);
  EXPECT_STREQ(graphics->GraphicsApiName(), "Windows GDI");
  EXPECT_TRUE(graphics->SupportsWindowType("HWND"));
  EXPECT_FALSE(graphics->SupportsWindowType("HWND "));
  EXPECT_FALSE(graphics->SupportsWindowType(nullptr));
  EXPECT_FALSE(graphics->IsWindowOpen());
  EXPECT_EQ(graphics->OpenEditorWindow(nullptr), nullptr);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  // A parent that is no window: creation fails and the class goes again with the count.
  EXPECT_EQ(graphics->OpenEditorWindow(reinterpret_cast<void*>(uintptr_t{0x7FF0})), nullptr);
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);
  WNDCLASSA wc;
  EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), IGraphicsWin::kWindowClassName, &wc));
  std::string file = "x.wav", folder;
  graphics->ChooseFile(file, IGraphics::FileOpen, folder, "wav");
  EXPECT_TRUE(file.empty());
  IArgb colour{255, 1, 2, 3};
  EXPECT_FALSE(graphics->ChooseColour(colour, "Colour"));
  graphics->CloseEditorWindow();  // harmless
  EXPECT_EQ(IGraphicsWin::OpenWindowCount(), 0);

  std::string path;
  graphics->HostFolder(path);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.back(), '\\');
  graphics->PluginFolder(path);
  EXPECT_EQ(path.back(), '\\') << "this program is the module here";
  EXPECT_EQ(graphics->LoadResourceBitmap(101, "resources/img/BG.gif"), nullptr) << "only .png names";
}
