#pragma once
// Test doubles for the graphics tests: a plug-in that records the editor's calls, a headless
// graphics object whose resources are generated filmstrips and whose menus and text entries are
// scripted, and a control that records what reaches it.

#include "tests/framework/TestPlug.h"

#include "bitmap/LICE_MemBitmap.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IMenu.h"
#include "framework/graphics/platform/headless/IGraphicsHeadless.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Velmora's parameter set, recording the editor's gesture, edit and menu calls.
class EditorTestPlug : public TestPlug {
public:
  void BeginParamEdit(int paramIdx) override { calls.push_back("begin " + std::to_string(paramIdx)); }
  void ReportParamEdit(int paramIdx, double normalized) override {
    TestPlug::ReportParamEdit(paramIdx, normalized);
    calls.push_back("edit " + std::to_string(paramIdx));
  }
  void EndParamEdit(int paramIdx) override { calls.push_back("end " + std::to_string(paramIdx)); }
  void ShowHostParamMenu(int paramIdx, int x, int y) override {
    calls.push_back("menu " + std::to_string(paramIdx) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void ResizeEditor(int width, int height) override {
    calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
  }

  std::vector<std::string> calls;
};

// The pixel every frame of a generated filmstrip is filled with: opaque, frame number (1-based)
// in the blue channel, the resource id's low byte in green.
inline uint32_t FramePixel(int resourceId, int frame) {
  return 0xFF000000u | (static_cast<uint32_t>(resourceId & 0xFF) << 8) | static_cast<uint32_t>(frame & 0xFF);
}

// A w x (frameH x frames) filmstrip of solid frames.
inline LICE_MemBitmap* MakeFilmstripBitmap(int resourceId, int w, int frameH, int frames) {
  auto* bmp = new LICE_MemBitmap();
  bmp->Resize(w, frameH * frames);
  for (int y = 0; y < frameH * frames; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(bmp->Pixels()) + static_cast<size_t>(y) * bmp->RowSpan();
    for (int x = 0; x < w; ++x) row[x] = FramePixel(resourceId, y / frameH + 1);
  }
  return bmp;
}

inline uint32_t PixelAt(LICE_IBitmap* bmp, int x, int y) {
  return reinterpret_cast<const uint32_t*>(bmp->Pixels())[static_cast<size_t>(y) * bmp->RowSpan() + x];
}

class TestGraphics : public IGraphicsHeadless {
public:
  struct Strip {
    int w, frameH, frames;
  };

  explicit TestGraphics(IPlugBase* plugin, int width = 404, int height = 634)
      : IGraphicsHeadless(plugin, width, height, 25) {}

  // Resources the platform can load: generated solid-frame filmstrips.
  void DefineResource(int id, int w, int frameH, int frames) { resources[id] = Strip{w, frameH, frames}; }

  LICE_IBitmap* LoadResourceBitmap(int resourceId, const char* /*name*/) override {
    ++resourceLoads;
    auto it = resources.find(resourceId);
    if (it == resources.end()) return nullptr;
    return MakeFilmstripBitmap(resourceId, it->second.w, it->second.frameH, it->second.frames);
  }

  IMenu* ShowPopupMenu(IMenu& menu, const IRect& rect) override {
    menuRect = rect;
    menuItems.clear();
    for (int i = 0; i < menu.NItems(); ++i)
      menuItems.push_back(menu.Item(i)->text + ((menu.Item(i)->flags & IMenuItem::Checked) ? " *" : ""));
    if (menuChoice < 0) return nullptr;
    menu.SetChosenIdx(menuChoice);
    return &menu;
  }

  void ShowTextEntry(IControl* control, const ITextStyle& /*style*/, const IRect& rect, const char* text,
                     IParam* param) override {
    entryControl = control;
    entryRect = rect;
    entryText = text;
    entryParam = param;
  }

  using IGraphics::DropMouseCapture;

  std::map<int, Strip> resources;
  int resourceLoads = 0;
  int menuChoice = -1;
  IRect menuRect;
  std::vector<std::string> menuItems;
  IControl* entryControl = nullptr;
  IRect entryRect;
  std::string entryText;
  IParam* entryParam = nullptr;
};

// A plain rectangle control that records the calls reaching it.
class RecordingControl : public IControl {
public:
  RecordingControl(IPlugBase* plugin, const IRect& rect, int paramIdx = -1) : IControl(plugin, rect, paramIdx) {}

  void OnPress(int x, int y, const IModifiers& mods) override {
    Log("press", x, y);
    IControl::OnPress(x, y, mods);
  }
  void OnRelease(int x, int y, const IModifiers&) override { Log("release", x, y); }
  void OnDrag(int x, int y, int dX, int dY, const IModifiers&) override {
    Log("drag", x, y);
    drags.push_back({dX, dY});
  }
  void OnDoubleClick(int x, int y, const IModifiers&) override { Log("dblclick", x, y); }
  void OnWheel(int x, int y, const IModifiers&, int notches) override {
    Log("wheel", x, y);
    lastNotches = notches;
  }
  bool OnKey(int x, int y, int key) override {
    Log("key", x, y);
    lastKey = key;
    return handlesKeys;
  }
  void OnHover(int x, int y, const IModifiers&) override { Log("hover", x, y); }
  void OnLeave() override { events.push_back("leave"); }
  bool Paint(IGraphics&) override {
    ++paints;
    return true;
  }

  void Log(const char* what, int x, int y) {
    events.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y));
  }

  std::vector<std::string> events;
  std::vector<std::pair<int, int>> drags;
  int paints = 0;
  int lastNotches = 0;
  int lastKey = -1;
  bool handlesKeys = false;
};
