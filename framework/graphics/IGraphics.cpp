#include "framework/graphics/IGraphics.h"

#include "bitmap/LICE_Blit.h"
#include "bitmap/LICE_MemBitmap.h"
#include "bitmap/LICE_SysBitmap.h"
#include "framework/IPlugBase.h"
#include "framework/NumericConversions.h"
#include "framework/Trace.h"
#include "framework/graphics/BitmapCache.h"
#include "framework/graphics/IMenu.h"

#include <cmath>
#include <cstdio>
#include <cstring>

IGraphics::IGraphics(IPlugBase* plugin, int width, int height, int frameRate, const EmbeddedResourceTable& resources)
    : mPlugin(plugin), mWidth(width), mHeight(height), mFrameRate(frameRate), mGesture(plugin), mResources(resources) {}

IGraphics::~IGraphics() {
  delete mKeyFallback;
  mKeyFallback = nullptr;
  mControls.DeleteAll();
  DestroyDrawBitmaps();
}

// ---- Controls ----

int IGraphics::AddControl(IControl* control) {
  const int index = mControls.Count();
  if (control) control->mGraphics = this;
  mControls.Add(control);
  return index;
}

void IGraphics::AddBackground(IControl* control) {
  if (control) control->mGraphics = this;
  mControls.Insert(0, control);
}

void IGraphics::SetKeyFallback(IControl* control) {
  if (control == mKeyFallback) return;
  delete mKeyFallback;
  mKeyFallback = control;
  if (control) control->mGraphics = this;
}

// ---- Bitmaps and drawing ----

LICE_IBitmap* IGraphics::CachedResourceBitmap(int resourceId, const char* name) {
  BitmapCache& cache = BitmapCache::Instance();
  LICE_IBitmap* bitmap = cache.Find(resourceId);
  if (!bitmap) bitmap = cache.Add(resourceId, LoadResourceBitmap(resourceId, name));
  return bitmap;
}

IFilmstrip IGraphics::LoadFilmstrip(int resourceId, const char* name, int frameCount) {
  LICE_IBitmap* bitmap = CachedResourceBitmap(resourceId, name);
  if (!bitmap) {
    TRACE_POINT("IGraphics::LoadFilmstrip", "resource %d (%s) could not be loaded", resourceId, name ? name : "");
    return IFilmstrip(nullptr, 0, 0, frameCount, false);
  }
  mScaledFilmstrips.Remember(bitmap, resourceId, name);
  return IFilmstrip(bitmap, bitmap->Width(), bitmap->Height(), frameCount, false);
}

void IGraphics::DestroyDrawBitmaps() {
  delete mBackBuffer;
  mBackBuffer = nullptr;
  delete mScratchBitmap;
  mScratchBitmap = nullptr;
}

void IGraphics::CreateDrawBitmaps() {
  DestroyDrawBitmaps();
  mBackBuffer = new LICE_SysBitmap(DeviceWidth(), DeviceHeight());
  mScratchBitmap = new LICE_MemBitmap();
}

void IGraphics::BlitFilmstrip(const IFilmstrip& filmstrip, const IRect& rect, int srcX, int srcY, const IBlend* blend) {
  if (!mBackBuffer || !filmstrip.bitmap) return;
  if (mDrawScale != 1.0) {
    BlitFilmstripScaled(filmstrip, rect, srcX, srcY, blend);
    return;
  }
  const IRect clipped = rect.Overlaps(mClipRect) ? rect.Intersect(mClipRect) : IRect();
  const LICE_Rect src(srcX + clipped.L - rect.L, srcY + clipped.T - rect.T, srcX + clipped.R - rect.L,
                      srcY + clipped.B - rect.T);
  const int mode = BlitModeOf(blend ? blend->kind : IBlend::BlendOver);
  const float weight = blend ? blend->weight : 1.0f;
  BlitBitmap(mBackBuffer, filmstrip.bitmap, clipped.L, clipped.T, &src, weight, mode);
}

void IGraphics::BlitFilmstripScaled(const IFilmstrip& filmstrip, const IRect& rect, int srcX, int srcY,
                                    const IBlend* blend) {
  const ScaledFilmstrips::Source source =
      mScaledFilmstrips.Find(filmstrip, srcX, srcY, mDrawScale, [this](int resourceId, const char* name) {
        const LICE_IBitmap* native = CachedResourceBitmap(resourceId, name);
        if (!native) TRACE_POINT("IGraphics::BlitFilmstrip", "no 2x copy %d (%s): resampling 1x", resourceId, name);
        return native;
      });
  if (!source.bitmap) return;
  // Device pixel d of the control always shows the same pixel of its scaled frame, whatever part
  // of it the clip lets through, so partial repaints and neighbours meet without seams.
  const IRect device = DeviceRect(rect.Overlaps(mClipRect) ? rect.Intersect(mClipRect) : IRect());
  const IRect origin = DeviceRect(rect);
  const LICE_Rect src(source.x + device.L - origin.L, source.y + device.T - origin.T, source.x + device.R - origin.L,
                      source.y + device.B - origin.T);
  const int mode = BlitModeOf(blend ? blend->kind : IBlend::BlendOver);
  BlitBitmap(mBackBuffer, source.bitmap, device.L, device.T, &src, blend ? blend->weight : 1.0f, mode);
}

int IGraphics::BlitModeOf(int blendKind) {
  switch (blendKind) {
    case IBlend::BlendReplace: return LICE_BLIT_COPY;
    case IBlend::BlendAdd: return LICE_BLIT_ADD | LICE_BLIT_USE_ALPHA;
    case IBlend::BlendDodge: return LICE_BLIT_DODGE | LICE_BLIT_USE_ALPHA;
    default: return LICE_BLIT_COPY | LICE_BLIT_USE_ALPHA;
  }
}

void IGraphics::PaintPass(const IRect& updateRect) {
  if (mControls.Count() == 0) return;
  DrawPass(updateRect);
  PresentRect(updateRect);
}

void IGraphics::DrawPass(const IRect& updateRect) {
  const int n = mControls.Count();
  if (n == 0) return;
  if (mStrictDraw) {
    mClipRect = updateRect;
    for (int i = 0; i < n; ++i) {
      IControl* c = mControls.Get(i);
      if (!c->IsHidden() && updateRect.Overlaps(c->GetRect())) c->Paint(*this);
      // Hidden and untouched controls are cleaned too, so the timer does not keep asking.
      c->MarkClean();
    }
  } else {
    IControl* background = mControls.Get(0);
    if (background->NeedsPaint()) {
      mClipRect = background->GetRect();
      for (int i = 0; i < n; ++i) {
        IControl* c = mControls.Get(i);
        if (i != 0 && c->IsHidden()) continue;
        c->Paint(*this);
        c->MarkClean();
      }
    } else {
      for (int i = 1; i < n; ++i) {
        IControl* dirty = mControls.Get(i);
        if (!dirty->NeedsPaint()) continue;
        mClipRect = dirty->GetRect();
        for (int j = 0; j < n; ++j) {
          IControl* c = mControls.Get(j);
          if (c->IsHidden()) continue;
          if (j == i || c->GetRect().Overlaps(mClipRect)) c->Paint(*this);
        }
        dirty->MarkClean();
      }
    }
  }
}

bool IGraphics::DirtyRegion(IRect* region) const {
  IRect r;
  bool dirty = false;
  for (int i = 0; i < mControls.Count(); ++i) {
    const IControl* c = mControls.Get(i);
    if (!c->NeedsPaint()) continue;
    dirty = true;
    r = r.Union(c->GetRect());
  }
  if (region) *region = r;
  return dirty;
}

bool IGraphics::Tick() {
  mGesture.Tick();
  IRect region;
  if (!DirtyRegion(&region)) return false;
  RepaintRegion(region);
  return true;
}

// ---- Display scale ----

void IGraphics::SetDrawScale(double scale) {
  if (!(scale >= kMinDrawScale)) scale = kMinDrawScale;  // NaN too
  if (scale > kMaxDrawScale) scale = kMaxDrawScale;
  if (scale == mDrawScale) return;
  mDrawScale = scale;
  mScaledFilmstrips.DropScaledFrames();
  if (mBackBuffer) CreateDrawBitmaps();
  for (int i = 0; i < mControls.Count(); ++i) mControls.Get(i)->MarkDirty(false);
}

int IGraphics::ScaleCoord(int panel, double scale) {
  if (scale == 1.0) return panel;
  return static_cast<int>(std::floor(static_cast<double>(panel) * scale + 0.5));
}

int IGraphics::UnscaleCoord(int device, double scale) {
  if (scale == 1.0) return device;
  // The estimate is off by at most one either way; the two loops make it exact.
  int p = static_cast<int>(std::floor((static_cast<double>(device) + 0.5) / scale));
  while (ScaleCoord(p, scale) > device) --p;
  while (ScaleCoord(p + 1, scale) <= device) ++p;
  return p;
}

IRect IGraphics::DeviceRect(const IRect& panel) const {
  if (panel.Empty()) return panel;
  return IRect(DeviceCoord(panel.L), DeviceCoord(panel.T), DeviceCoord(panel.R), DeviceCoord(panel.B));
}

IRect IGraphics::PanelRect(const IRect& device) const {
  if (device.Empty()) return device;
  return IRect(PanelCoord(device.L), PanelCoord(device.T), PanelCoord(device.R - 1) + 1, PanelCoord(device.B - 1) + 1);
}

// ---- Values ----

void IGraphics::PushParamToControls(int paramIdx, double value, bool isNormalized) {
  if (!isNormalized) {
    const IParam* param = mPlugin ? mPlugin->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  for (int i = 0; i < mControls.Count(); ++i) {
    IControl* c = mControls.Get(i);
    if (c->ParamIdx() == paramIdx) c->SetValueFromPlugin(value);
    for (int a = 0; a < c->NAuxParams(); ++a) {
      if (c->GetAuxParam(a)->paramIdx == paramIdx) {
        c->SetAuxValueFromPlugin(a, value);
        break;
      }
    }
  }
}

void IGraphics::PromptParamEdit(IControl* control, IParam* param, const IRect& rect) {
  if (!control || !param) return;
  const int nTexts = param->NDisplayTexts();
  if (param->Type() == IParam::kTypeEnum || (param->Type() == IParam::kTypeBool && nTexts > 0)) {
    char current[IParam::kDisplayBufferLen];
    param->GetDisplayForHost(current);
    IMenu menu;
    for (int v = 0; v < nTexts; ++v) {
      const char* text = param->GetDisplayText(v);
      menu.AddItem(text, std::strcmp(text, current) == 0 ? IMenuItem::Checked : 0);
    }
    const IMenu* chosen = ShowPopupMenu(menu, rect);
    if (chosen && chosen->ChosenIdx() >= 0) control->SetValueFromUser(param->ToNormalized(chosen->ChosenIdx()));
    return;
  }
  double v = param->Value();
  if (param->NegateDisplay()) v = -v;
  char text[IParam::kDisplayBufferLen];
  if (param->DisplayPrecision() > 0)
    std::snprintf(text, sizeof(text), "%.*f", param->DisplayPrecision(), v);
  else
    std::snprintf(text, sizeof(text), "%d", TruncToInt(v));
  ShowTextEntry(control, control->TextStyle(), rect, text, param);
}

// ---- Mouse and keys ----

int IGraphics::ControlAt(int x, int y) const {
  for (int i = mControls.Count() - 1; i >= 0; --i) {
    const IControl* c = mControls.Get(i);
    if (!c->IsHidden() && !c->IsGreyed() && c->HitTest(x, y)) return i;
  }
  return -1;
}

void IGraphics::DropMouseCapture() {
  mPressedIndex = -1;
  mLastX = -1;
  mLastY = -1;
}

void IGraphics::OnPress(int x, int y, const IModifiers& mods) {
  mGesture.PointerDown();
  DropMouseCapture();
  const int c = ControlAt(x, y);
  if (c < 0) return;
  mPressedIndex = c;
  mLastX = x;
  mLastY = y;
  IControl* control = mControls.Get(c);
  const int p = control->ParamIdx();
  const bool hostMenu = mPlugin && mPlugin->GetBindingKind() == IPlugBase::kBindingVST3 && mods.R;
  if (hostMenu && p >= 0) {
    // The host owns the right-click menu of a bound control; the control never sees the press.
    DropMouseCapture();
    // The host places its menu in the view's own pixels.
    mPlugin->ShowHostParamMenu(p, DeviceCoord(x), DeviceCoord(y));
    return;
  }
  // The gesture begins with the control's first edit (EditGesture).
  control->OnPress(x, y, mods);
}

void IGraphics::OnRelease(int x, int y, const IModifiers& mods) {
  int c = mPressedIndex;
  if (c < 0) c = ControlAt(x, y);
  DropMouseCapture();
  IControl* control = mControls.Get(c);
  if (control) control->OnRelease(x, y, mods);
  // Ends the gesture the press or double click began, if it edited anything; a release whose
  // press began nothing (the host's menu, a click without a drag) sends nothing.
  mGesture.PointerUp();
}

void IGraphics::OnDrag(int x, int y, int /*dX*/, int /*dY*/, const IModifiers& mods) {
  IControl* control = mControls.Get(mPressedIndex);
  if (!control || (x == mLastX && y == mLastY)) return;
  const int dX = x - mLastX;
  const int dY = y - mLastY;
  mLastX = x;
  mLastY = y;
  control->OnDrag(x, y, dX, dY, mods);
}

void IGraphics::OnDoubleClick(int x, int y, const IModifiers& mods) {
  mGesture.PointerDown();
  DropMouseCapture();
  const int c = ControlAt(x, y);
  IControl* control = mControls.Get(c);
  if (!control) return;
  if (control->DoubleClickIsPress()) {
    mPressedIndex = c;
    mLastX = x;
    mLastY = y;
    control->OnPress(x, y, mods);
    TakeMouseCapture();
  } else {
    control->OnDoubleClick(x, y, mods);
  }
}

void IGraphics::OnWheel(int x, int y, const IModifiers& mods, int notches) {
  const int c = mPressedIndex >= 0 ? mPressedIndex : ControlAt(x, y);
  IControl* control = mControls.Get(c);
  if (!control) return;
  const int rate = mFrameRate > 0 ? mFrameRate : 25;
  mGesture.WheelNotch((kWheelGesturePauseMs * rate + 999) / 1000, mPressedIndex >= 0);
  control->OnWheel(x, y, mods, notches);
}

bool IGraphics::OnHover(int x, int y, const IModifiers& mods) {
  if (!mHoverEnabled) return false;
  int target = mPressedIndex;
  if (target < 0) {
    for (int i = mControls.Count() - 1; i >= 0; --i) {
      const IControl* c = mControls.Get(i);
      if (!c->IsHidden() && c->HitTest(x, y) && (!c->IsGreyed() || c->HoverWhenGreyed())) {
        target = i;
        break;
      }
    }
  }
  IControl* control = mControls.Get(target);
  if (!control) return true;
  mLastX = x;
  mLastY = y;
  control->OnHover(x, y, mods);
  if (mHoverIndex >= 0 && mHoverIndex != target) {
    if (IControl* old = mControls.Get(mHoverIndex)) old->OnLeave();
  }
  mHoverIndex = target;
  return true;
}

void IGraphics::OnLeave() {
  mGesture.PointerLeft();
  for (int i = 0; i < mControls.Count(); ++i) mControls.Get(i)->OnLeave();
  mHoverIndex = -1;
}

bool IGraphics::OnKey(int x, int y, int key) {
  const int c = mPressedIndex >= 0 ? mPressedIndex : ControlAt(x, y);
  if (c <= 0) return mKeyFallback ? mKeyFallback->OnKey(x, y, key) : false;
  IControl* control = mControls.Get(c);
  return control ? control->OnKey(x, y, key) : false;
}

// ---- Resizing ----

void IGraphics::ResizeSurface(int width, int height) {
  if (width == mWidth && height == mHeight) return;
  mWidth = width;
  mHeight = height;
  mGesture.EndAll();
  DropMouseCapture();
  // The controls go with the old layout; a stale hover index would name a control of the new one.
  mHoverIndex = -1;
  mControls.DeleteAll();
  DestroyDrawBitmaps();
  CreateDrawBitmaps();
  if (mPlugin) mPlugin->ResizeEditor(width, height);
}
