#pragma once
// The editor's drawing surface and event router. It owns the ordered list of controls (index
// order is draw order, index 0 the background), the off-screen back buffer the controls paint
// into, the mouse bookkeeping, and the two value paths: plug-in to controls and controls to
// plug-in. Everything that needs a real window, the screen or dialogs is a virtual operation a
// platform class (platform/<name>/) supplies; the build chooses which one the editor gets
// (MakePlatformGraphics, PlatformGraphics.h). What every platform would answer alike lives here
// as the operation's default: images decoded from the embedded resources, and "not available"
// for the services a platform has no window or system dialog for. Platforms derive from this
// class only, never from each other.
//
// The plug-in base reaches the graphics object only through inline accessors and virtual calls
// (ControlCount, Control, CreateDrawBitmaps, PushParamToControls and the destructor), so the
// framework core links without the graphics library.

#include "framework/GrowableArray.h"
#include "framework/graphics/EditGesture.h"
#include "framework/graphics/EmbeddedResources.h"
#include "framework/graphics/IControl.h"
#include "framework/graphics/IGraphicsTypes.h"
#include "framework/graphics/IRect.h"
#include "framework/graphics/ScaledFilmstrips.h"

#include <string>

class EditorRunLoop;
class IMenu;
class IParam;
class IPlugBase;
class LICE_IBitmap;
class LICE_MemBitmap;
class LICE_SysBitmap;

class IGraphics {
public:
  // resources: where LoadResourceBitmap's default finds the images (a platform that reads them
  // elsewhere overrides it and passes none).
  IGraphics(IPlugBase* plugin, int width, int height, int frameRate,
            const EmbeddedResourceTable& resources = EmbeddedResourceTable());
  // Deletes the key fallback control, then every control from the last to the first, then the
  // draw bitmaps. Cached filmstrip bitmaps stay (they belong to the module). The plug-in base's
  // destructor; a window platform closes its window first.
  virtual ~IGraphics();
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---- Controls ----
  // Appends a control (taking ownership) and returns its index.
  int AddControl(IControl* control);
  // Inserts the full-size background at index 0, shifting the others up: indices returned by
  // earlier AddControl calls are then off by one, so the background goes first.
  void AddBackground(IControl* control);
  int ControlCount() const { return mControls.Count(); }
  // Null outside the list.
  IControl* Control(int i) const { return mControls.Get(i); }

  // ---- Bitmaps and drawing ----
  // Loads a filmstrip through the module-wide cache (by resource id only; the name is handed to
  // the platform loader). A resource that cannot be loaded gives an empty filmstrip (no bitmap,
  // sizes 0) that draws nothing, and is traced. The image's 2x copy (NativeArtwork.h) is loaded
  // the same way, but only when a display scale above 1 first draws it.
  IFilmstrip LoadFilmstrip(int resourceId, const char* name, int frameCount);
  // Creates the back buffer (DeviceWidth() x DeviceHeight()) and an empty scratch bitmap. IPlugBase::AttachGraphics
  // (under the plug-in lock) and ResizeSurface. Default: a LICE_SysBitmap and a LICE_MemBitmap.
  virtual void CreateDrawBitmaps();
  // Draws the part of the filmstrip's bitmap starting at (srcX, srcY) into rect of the back
  // buffer, clipped to the clip rectangle of the pass under way. No blend: source-alpha copy.
  // At a display scale other than 1, rect, the clip and (srcX, srcY) stay in panel (1x) pixels and
  // the frame comes from the image's scaled set (ScaledFilmstrips.h) into DeviceRect(rect).
  void BlitFilmstrip(const IFilmstrip& filmstrip, const IRect& rect, int srcX, int srcY, const IBlend* blend);
  // The bitmap layer's blit mode for a blend kind: BlendReplace an opaque copy, BlendAdd and
  // BlendDodge their modes with source alpha, any other kind (BlendOver included) a copy with
  // source alpha.
  static int BlitModeOf(int blendKind);
  // Draws text in style into rect of the back buffer, or with measureOnly computes the rectangle
  // the text needs (see MeasureText). False when no font could be made for the style. At a display
  // scale other than 1 the text is drawn with the font at the scale's size (ScaledFontSize) into
  // DeviceRect(rect), and the rectangle measured is in panel pixels: the smallest one whose device
  // rectangle holds the text drawn at that scale.
  bool RenderText(ITextStyle& style, const char* text, IRect& rect, bool measureOnly);
  // Draws text in style into rect of any bitmap (a platform's own popup or entry surface); with a
  // scale other than 1, rect is in dest's (device) pixels and the font is the scale's size.
  static bool RenderTextInto(LICE_IBitmap* dest, ITextStyle& style, const char* text, const IRect& rect,
                             double scale = 1.0);
  // The width text takes in style, in panel pixels; with a scale other than 1, that of the text
  // drawn at the scale's font size, rounded up to whole panel pixels. 0 when no font could be made.
  static int TextWidth(ITextStyle& style, const char* text, double scale = 1.0);
  // A font size at a display scale: size x scale, rounded, at least 1.
  static int ScaledFontSize(int size, double scale);
  // The drawing pass for the window's update rectangle: DrawPass, then PresentRect(updateRect).
  void PaintPass(const IRect& updateRect);
  // The drawing pass alone: repaints updateRect of the back buffer and cleans the controls,
  // touching no window. Off-screen pictures (snapshots) are drawn with it on every platform.
  void DrawPass(const IRect& updateRect);
  // Union of the rectangles of the controls that need painting; false when none does.
  bool DirtyRegion(IRect* region) const;
  // One refresh-timer tick; a window platform calls it from its timer, every 1000 / FrameRate()
  // ms. When any control needs painting, the union of their rectangles goes to RepaintRegion.
  // True when something was dirty. It also ends a wheel gesture after a pause (EditGesture).
  bool Tick();

  // ---- Display scale ----
  // The host's content scale. The panel keeps its layout, hit testing and every event in its own
  // (1x) coordinates; only the back buffer, the window and what is drawn are DrawScale() times as
  // large. Panel coordinate p starts at device pixel DeviceCoord(p) = floor(p * scale + 0.5), so
  // neighbouring rectangles tile the device without gaps or overlaps at any scale.
  static constexpr double kMinDrawScale = 1.0;
  static constexpr double kMaxDrawScale = 3.0;
  double DrawScale() const { return mDrawScale; }
  // Clamps to [kMinDrawScale, kMaxDrawScale] (anything not a number counts as 1). When the scale
  // changes, the draw bitmaps are made again at the device size and every control is marked for
  // painting; layout and values stay. A window platform also resizes its window. UI thread.
  virtual void SetDrawScale(double scale);
  // The scale as the host tells it (the VST3 view's content scale). From then on the host's scale
  // is the one that counts: a window platform that would otherwise follow its screen's scale (the
  // parent window's DPI on Windows) no longer does. UI thread.
  void SetDrawScaleFromHost(double scale) {
    mDrawScaleFromHost = true;
    SetDrawScale(scale);
  }
  bool DrawScaleFromHost() const { return mDrawScaleFromHost; }
  int DeviceCoord(int panel) const { return ScaleCoord(panel, mDrawScale); }
  // The panel coordinate whose device span holds device pixel d (the inverse of DeviceCoord).
  int PanelCoord(int device) const { return UnscaleCoord(device, mDrawScale); }
  // The same two mappings at any scale (for code that has a scale but no graphics object).
  static int ScaleCoord(int panel, double scale);
  static int UnscaleCoord(int device, double scale);
  // The window's size in device pixels: DeviceCoord(Width()) x DeviceCoord(Height()).
  int DeviceWidth() const { return DeviceCoord(mWidth); }
  int DeviceHeight() const { return DeviceCoord(mHeight); }
  // The device pixels a panel rectangle covers, and the smallest panel rectangle covering a device
  // one (a window's expose region).
  IRect DeviceRect(const IRect& panel) const;
  IRect PanelRect(const IRect& device) const;

  // ---- Values ----
  // Plug-in to controls: every control bound to paramIdx (directly, or through its first
  // auxiliary binding to it) receives the value, normalised first when isNormalized is false.
  // The binding's process (audio thread, under the plug-in lock) and RedrawParamControls; the
  // controls only mark themselves dirty. Default: as described.
  virtual void PushParamToControls(int paramIdx, double value, bool isNormalized);
  // A choice menu for enumerations (and booleans with display texts), else a text entry.
  void PromptParamEdit(IControl* control, IParam* param, const IRect& rect);
  // Controls to plug-in: a control's user edit (MarkDirty), inside the edit gesture of the action
  // under way (EditGesture), then SetParamFromEditor.
  void UserEdit(int paramIdx, double normalized) { mGesture.Edit(paramIdx, normalized); }
  // Ends an open edit gesture. A window platform's CloseEditorWindow (no release or pause follows
  // once the window is gone) and ResizeSurface.
  void EndEditGesture() { mGesture.EndAll(); }
  // Forgets an open edit gesture without telling the plug-in: a window platform's destructor,
  // which runs while the plug-in is being destroyed.
  void ForgetEditGesture() { mGesture.Forget(); }
  // The parameter whose edit gesture is open, -1 for none.
  int OpenGestureParam() const { return mGesture.OpenParam(); }
  // A wheel burst is one gesture until the wheel rests this long.
  static constexpr int kWheelGesturePauseMs = 500;

  // ---- Mouse and keys, in client coordinates ----
  void OnPress(int x, int y, const IModifiers& mods);
  void OnRelease(int x, int y, const IModifiers& mods);
  // Deltas come from the last position seen; dX and dY are recomputed here.
  void OnDrag(int x, int y, int dX, int dY, const IModifiers& mods);
  void OnDoubleClick(int x, int y, const IModifiers& mods);
  void OnWheel(int x, int y, const IModifiers& mods, int notches);
  // Notches of a raw wheel delta: delta / 120, truncated toward zero.
  static int WheelNotches(int delta) { return delta / 120; }
  bool OnHover(int x, int y, const IModifiers& mods);
  void OnLeave();
  bool OnKey(int x, int y, int key);
  // Topmost control that is visible, not greyed and hit; -1 for none.
  int ControlAt(int x, int y) const;
  void DropMouseCapture();

  // ---- Platform operations ----
  // All of them run on the UI thread and take no lock, unless said otherwise. "Pure" ones are the
  // platform class's to supply; the others default to what an editor without a window answers.

  // Copies the panel rectangle rect (device pixels DeviceRect(rect) of the back buffer) to the
  // window. The end of every PaintPass (a window's paint request, or a tick without a window).
  // Must do nothing when no window is open.
  virtual void PresentRect(const IRect& rect) = 0;
  // The rectangle text needs in style. Default: RenderText measuring.
  virtual bool MeasureText(ITextStyle& style, const char* text, IRect& rect) {
    return RenderText(style, text, rect, true);
  }
  // Marks an open text entry as cancelled (TextEntrySession). Default: nothing, no entry opens.
  virtual void CancelTextEntry() {}
  // Rebuilds the surface at a new size: drops every control and both draw bitmaps, creates new
  // bitmaps and tells the plug-in (ResizeEditor). The plug-in lays out its controls again. A
  // window platform also resizes its window. Default: the rebuild, unless the size is the same.
  virtual void ResizeSurface(int width, int height);
  // Whether the editor's window exists. Default: NativeWindow() is set.
  virtual bool IsWindowOpen() const { return NativeWindow() != nullptr; }
  // Whether OpenEditorWindow can open inside a parent window of this VST3 platform type (e.g.
  // "HWND"); the editor view offers the host exactly these types. Default: none.
  virtual bool SupportsWindowType(const char* /*type*/) const { return false; }
  // The drawing API's name, for diagnostics. Default: "".
  virtual const char* GraphicsApiName() const { return ""; }
  // A modal message box; answers the button pressed. Default: 0, none shown.
  virtual int ShowMessage(const char* text, const char* caption, int type);
  // Shows menu at rect and returns the menu that holds the chosen item (its ChosenIdx set), or
  // null. PromptParamEdit. Default: the press that asked for it lets go of the mouse, and null.
  virtual IMenu* ShowPopupMenu(IMenu& menu, const IRect& rect);
  // Opens a one-line text entry for control (and param) over rect; the result arrives later
  // through the window's timer (TextEntrySession). PromptParamEdit. Default: none opens.
  virtual void ShowTextEntry(IControl* control, const ITextStyle& style, const IRect& rect, const char* text,
                             IParam* param);
  // Folders of the host executable, this module, the desktop and application data. Default:
  // empty (unknown).
  virtual void HostFolder(std::string& path) { path.clear(); }
  virtual void PluginFolder(std::string& path) { path.clear(); }
  virtual void DesktopFolder(std::string& path) { path.clear(); }
  virtual void AppDataFolder(std::string& path, bool /*allUsers*/) { path.clear(); }
  virtual void UserAppDataFolder(std::string& path) { AppDataFolder(path, false); }
  enum EFileAction { FileOpen = 0, FileSave = 1 };
  // File, colour and web-page dialogs; file becomes empty and false is answered when cancelled or
  // when no window is open. Default: as cancelled.
  virtual void ChooseFile(std::string& file, int action, std::string& folder, const char* extensions);
  virtual bool ChooseColour(IArgb& /*colour*/, const char* /*prompt*/) { return false; }
  virtual bool OpenWebPage(const char* url, const char* title, const char* confirmText, const char* errorText);
  // Opens the editor's window inside the host's parent window and starts its refresh timer (which
  // calls Tick); answers the window, null on failure. The view's attached. Default: null, a
  // platform without windows opens none.
  virtual void* OpenEditorWindow(void* /*parent*/) { return nullptr; }
  // Closes it; controls, bitmaps and values survive. The view's removed. Default: nothing.
  virtual void CloseEditorWindow() {}
  // The host's run loop for the windows opened from now on, or null (not owned; it outlives the
  // window). The view sets it before OpenEditorWindow and clears it after CloseEditorWindow.
  // Default: ignored, for platforms whose window system runs its own message loop. A platform
  // that needs one fails OpenEditorWindow without it.
  virtual void SetHostRunLoop(EditorRunLoop* /*loop*/) {}
  // The window, null while none is open. Default: null.
  virtual void* NativeWindow() const { return nullptr; }
  // The clipboard's text as UTF-8; false when there is none. Default: none.
  virtual bool ClipboardText(std::string& text);
  // Hides the mouse cursor (remembering where it was) / shows it there again. No control of this
  // program calls them. Default: only CursorHidden() follows.
  virtual void HideCursor() { mCursorHidden = true; }
  virtual void RestoreCursor() { mCursorHidden = false; }
  // A freshly decoded bitmap for the resource, owned by the caller; null when there is none.
  // LoadFilmstrip on a cache miss, on whatever thread builds the editor (the plug-in's
  // constructor); for an image's 2x copy, the UI thread's first draw at a scale above 1.
  // Default: the embedded "PNG" resource with this id, when the text after the last '.' of name
  // is "png" in any case (EmbeddedResourceTable::LoadPng).
  virtual LICE_IBitmap* LoadResourceBitmap(int resourceId, const char* name);

  // ---- Accessors ----
  IPlugBase* GetPlugin() const { return mPlugin; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int FrameRate() const { return mFrameRate; }
  LICE_SysBitmap* BackBuffer() const { return mBackBuffer; }
  LICE_MemBitmap* ScratchBitmap() const { return mScratchBitmap; }
  const IRect& ClipRect() const { return mClipRect; }
  int PressedIndex() const { return mPressedIndex; }
  int HoverIndex() const { return mHoverIndex; }
  bool StrictDraw() const { return mStrictDraw; }
  void SetStrictDraw(bool strict) { mStrictDraw = strict; }
  bool HoverEnabled() const { return mHoverEnabled; }
  void SetHoverEnabled(bool enabled) { mHoverEnabled = enabled; }
  bool TooltipsEnabled() const { return mTooltipsEnabled; }
  void SetTooltipsEnabled(bool enabled) { mTooltipsEnabled = enabled; }
  bool CursorHidden() const { return mCursorHidden; }
  IControl* KeyFallback() const { return mKeyFallback; }
  // Receives keys aimed at the background or at no control; owned (a previous one is deleted).
  void SetKeyFallback(IControl* control);

protected:
  // A double click on a control that treats it as a press starts a drag: the window takes the
  // mouse capture. OnDoubleClick, UI thread. Default: nothing (no window).
  virtual void TakeMouseCapture() {}
  // Where a tick's dirty region goes. Tick, UI thread. Default (no window): PaintPass at once. A
  // window platform invalidates the region and runs PaintPass from its own paint request.
  virtual void RepaintRegion(const IRect& region) { PaintPass(region); }
  void DestroyDrawBitmaps();
  // BlitFilmstrip at a scale other than 1: rect and the clip rectangle in panel coordinates.
  void BlitFilmstripScaled(const IFilmstrip& filmstrip, const IRect& rect, int srcX, int srcY, const IBlend* blend);
  // The module-wide cache's bitmap for a resource, loaded (LoadResourceBitmap) and added on a miss;
  // null when it cannot be loaded.
  LICE_IBitmap* CachedResourceBitmap(int resourceId, const char* name);

  OwnedList<IControl> mControls;
  IPlugBase* mPlugin;
  IRect mClipRect;
  bool mCursorHidden = false;
  int mSavedCursorX = -1;
  int mSavedCursorY = -1;
  LICE_SysBitmap* mBackBuffer = nullptr;
  LICE_MemBitmap* mScratchBitmap = nullptr;
  int mWidth;
  int mHeight;
  int mFrameRate;
  double mDrawScale = 1.0;
  bool mDrawScaleFromHost = false;
  int mPressedIndex = -1;
  int mHoverIndex = -1;
  int mLastX = 0;
  int mLastY = 0;
  bool mHoverEnabled = false;
  bool mStrictDraw = true;
  bool mTooltipsEnabled = false;
  IControl* mKeyFallback = nullptr;
  EditGesture mGesture;
  EmbeddedResourceTable mResources;
  ScaledFilmstrips mScaledFilmstrips;
};
