#pragma once
// Base of the editor's controls: a rectangle on the graphics surface holding a normalised value,
// optionally bound to a plug-in parameter (and to further auxiliary parameters). A control
// paints itself, reacts to the mouse, and sends user changes to the plug-in through MarkDirty.
//
// Every value path ends in MarkDirty, which sets needsPaint; the drawing pass paints the control
// and calls MarkClean, which moves paintAgain into needsPaint. The value operations also set
// paintAgain, so a control changed through them is painted on two consecutive passes.
//
// The plug-in base reaches controls only through the inline accessors and virtual calls used in
// AttachGraphics, so the framework core links without the graphics library.

#include "framework/GrowableArray.h"
#include "framework/graphics/IGraphicsTypes.h"
#include "framework/graphics/IRect.h"
#include "framework/graphics/RelaxedAtomic.h"

#include <atomic>
#include <string>

class IGraphics;
class IPlugBase;

struct AuxParam {
  double value;
  int paramIdx;
};

class IControl {
public:
  IControl(IPlugBase* plugin, const IRect& rect, int paramIdx = -1, int blendKind = IBlend::BlendOver);
  // Frees the control's own lists. The graphics object's destructor or ResizeSurface, UI thread.
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Every operation below runs on the editor's UI thread and takes no lock, except where said.
  // The graphics core routes the mouse and keys to them (IGraphics::OnPress and friends).

  // ---- Mouse and keys (coordinates are editor pixels) ----
  // A button went down on the control. Default: the right button offers a value prompt for the
  // bound parameter (when prompting is enabled).
  virtual void OnPress(int x, int y, const IModifiers& mods);
  // The button came up (the pressed control keeps the mouse until then). Default: nothing.
  virtual void OnRelease(int /*x*/, int /*y*/, const IModifiers& /*mods*/) {}
  // The mouse moved with the button held; dX, dY since the last position. Default: nothing.
  virtual void OnDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, const IModifiers& /*mods*/) {}
  // Default: restores the first value received from the plug-in, if there was one.
  virtual void OnDoubleClick(int x, int y, const IModifiers& mods);
  // Whole wheel notches, signed. Default: nothing.
  virtual void OnWheel(int /*x*/, int /*y*/, const IModifiers& /*mods*/, int /*notches*/) {}
  // A key (EKeyCode); true when handled. Default: not handled.
  virtual bool OnKey(int /*x*/, int /*y*/, int /*key*/) { return false; }
  // The pointer is over the control / left it (only with hover handling on). Default: nothing.
  virtual void OnHover(int /*x*/, int /*y*/, const IModifiers& /*mods*/) {}
  virtual void OnLeave() {}

  // Draws into the graphics object's back buffer, clipped to the pass's clip rectangle. The
  // drawing pass (PaintPass, DrawPass). Pure.
  virtual bool Paint(IGraphics& graphics) = 0;

  // ---- Values (normalised 0..1) ----
  // A parameter changed elsewhere. The first value ever received becomes the reset value and
  // marks nothing. Also the audio thread, under the plug-in lock (host edits in process) or
  // without it (the meter, once per block): the value and the paint flags are atomics for that.
  virtual void SetValueFromPlugin(double value);
  // The user set a value (menu, text entry): it goes on to the plug-in.
  virtual void SetValueFromUser(double value);
  // The text typed into a free text entry (no parameter). Default: nothing.
  virtual void TextFromEntry(const char* /*text*/) {}
  // Default: stores the flag, asks for painting.
  virtual void SetHidden(bool hidden);
  // Greyed controls are not hit and are painted at weight 0.25 (any other weight is dropped).
  virtual void SetGreyed(bool greyed);
  // Whether (x, y) hits the control. ControlAt. Default: inside the hit rectangle.
  virtual bool HitTest(int x, int y) const { return mHitRect.Contains(x, y); }
  // Clamps the value into [min, max], flags the control for painting and, with pushToPlugin,
  // hands (parameter, value) to the plug-in: through the graphics object the control is attached
  // to (IGraphics::UserEdit, which brackets it in the action's edit gesture), else straight to
  // SetParamFromEditor (which takes the plug-in lock). Every value path ends here.
  virtual void MarkDirty(bool pushToPlugin);
  // The drawing pass painted (or skipped) the control: needsPaint becomes paintAgain.
  virtual void MarkClean();
  // Whether the next tick must repaint the control. DirtyRegion, UI thread, while the audio thread
  // may be setting the flags.
  virtual bool NeedsPaint() const { return (mPaintFlags.load(std::memory_order_acquire) & kNeedsPaint) != 0; }
  // SetValueFromPlugin for an auxiliary binding; same callers and threads.
  virtual void SetAuxValueFromPlugin(int auxIdx, double value);

  // Opens the graphics object's value prompt for the bound parameter, unless prompting is
  // disabled (the default) or there is no parameter.
  void PromptParamEdit();

  // ---- Accessors ----
  int ParamIdx() const { return mParamIdx; }
  int NAuxParams() const { return mAuxParams.Count(); }
  const AuxParam* GetAuxParam(int i) const { return mAuxParams.At(i); }
  void AddAuxParam(int paramIdx) { mAuxParams.Add(AuxParam{0.0, paramIdx}); }

  IPlugBase* GetPlugin() const { return mPlugin; }
  // The graphics object the control was attached to, none before.
  IGraphics* GetGraphics() const { return mGraphics; }
  const IRect& GetRect() const { return mRect; }
  const IRect& GetHitRect() const { return mHitRect; }
  void SetHitRect(const IRect& r) { mHitRect = r; }
  double GetValue() const { return mValue; }
  double GetResetValue() const { return mResetValue; }
  void SetValueRange(double minValue, double maxValue) {
    mMinValue = minValue;
    mMaxValue = maxValue;
  }
  const IBlend& GetBlend() const { return mBlend; }
  void SetBlend(const IBlend& blend) { mBlend = blend; }
  bool IsHidden() const { return mHidden; }
  bool IsGreyed() const { return mGreyed; }
  bool PaintAgain() const { return (mPaintFlags.load(std::memory_order_acquire) & kPaintAgain) != 0; }
  bool PromptDisabled() const { return mPromptDisabled; }
  void SetPromptDisabled(bool disabled) { mPromptDisabled = disabled; }
  bool DoubleClickIsPress() const { return mDoubleClickIsPress; }
  void SetDoubleClickIsPress(bool b) { mDoubleClickIsPress = b; }
  bool HoverWhenGreyed() const { return mHoverWhenGreyed; }
  void SetHoverWhenGreyed(bool b) { mHoverWhenGreyed = b; }
  int EntryMaxChars() const { return mEntryMaxChars; }
  void SetEntryMaxChars(int n) { mEntryMaxChars = n; }
  ITextStyle& TextStyle() { return mTextStyle; }
  const std::string& Tooltip() const { return mTooltip; }
  void SetTooltip(const char* text) { mTooltip = text ? text : ""; }

protected:
  // Asks for one more pass after the next MarkClean.
  void SetPaintAgain() { mPaintFlags.fetch_or(kPaintAgain, std::memory_order_release); }

  int mEntryMaxChars = 32;
  ITextStyle mTextStyle;
  IPlugBase* mPlugin;
  IRect mRect;
  IRect mHitRect;
  int mParamIdx;
  GrowableArray<AuxParam> mAuxParams;
  RelaxedAtomic<double> mValue{0.0};
  RelaxedAtomic<double> mResetValue{-1.0};
  double mMinValue = 0.0;
  double mMaxValue = 1.0;
  bool mHidden = false;
  bool mGreyed = false;
  bool mPromptDisabled = true;
  bool mDoubleClickIsPress = false;
  bool mHoverWhenGreyed = false;
  IBlend mBlend;
  std::string mTooltip;

private:
  friend class IGraphics;

  // needsPaint and paintAgain share one atomic word. The audio thread sets them (meter values,
  // host edits pushed in process) while the editor's pass clears them; as two separate flags a
  // set landing between the pass's read of paintAgain and its write of needsPaint was lost, and
  // the last value before the audio stopped could stay undrawn. The value is stored before
  // the flags are raised (release), and the pass reads the flags before the value (acquire).
  enum : unsigned { kNeedsPaint = 1, kPaintAgain = 2 };
  std::atomic<unsigned> mPaintFlags{kNeedsPaint};

  IGraphics* mGraphics = nullptr;
};
