#pragma once
// The platform class for editors that open no window: tests, snapshots and hosts without a
// screen. It supports no parent window type, presenting only counts, dialogs and menus answer
// "not available", and bitmaps come from the resources embedded in the module. Nothing calls
// Tick() on its own: whoever drives the editor (a test, a snapshot) stands in for the timer.

#include "framework/graphics/EmbeddedResources.h"
#include "framework/graphics/IGraphics.h"

class IGraphicsHeadless : public IGraphics {
public:
  IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate,
                    const EmbeddedResourceTable& resources = EmbeddedResourceTable());

  void PresentRect(const IRect& rect) override;
  void CancelTextEntry() override {}
  void ResizeSurface(int width, int height) override;
  const char* GraphicsApiName() const override { return "Headless"; }
  int ShowMessage(const char* text, const char* caption, int type) override;
  IMenu* ShowPopupMenu(IMenu& menu, const IRect& rect) override;
  void ShowTextEntry(IControl* control, const ITextStyle& style, const IRect& rect, const char* text,
                     IParam* param) override;
  void HostFolder(std::string& path) override { path.clear(); }
  void PluginFolder(std::string& path) override { path.clear(); }
  void DesktopFolder(std::string& path) override { path.clear(); }
  void AppDataFolder(std::string& path, bool /*allUsers*/) override { path.clear(); }
  void UserAppDataFolder(std::string& path) override { AppDataFolder(path, false); }
  void ChooseFile(std::string& file, int action, std::string& folder, const char* extensions) override;
  bool ChooseColour(IArgb& /*colour*/, const char* /*prompt*/) override { return false; }
  bool OpenWebPage(const char* url, const char* title, const char* confirmText, const char* errorText) override;
  void* OpenEditorWindow(void* /*parent*/) override { return nullptr; }
  void CloseEditorWindow() override {}
  void* NativeWindow() const override { return nullptr; }
  bool ClipboardText(std::string& text) override;
  void HideCursor() override;
  void RestoreCursor() override;
  // The ".png" rule: the text after the last '.' of name must be "png" in any case; then the
  // embedded "PNG" resource with this id is decoded.
  LICE_IBitmap* LoadResourceBitmap(int resourceId, const char* name) override;

  // How many times PresentRect ran, and its last rectangle (what a window would have shown).
  int PresentCount() const { return mPresentCount; }
  const IRect& LastPresented() const { return mLastPresented; }

private:
  EmbeddedResourceTable mResources;
  int mPresentCount = 0;
  IRect mLastPresented;
};
