#include "framework/graphics/platform/headless/IGraphicsHeadless.h"

#include "bitmap/LICE_PngResource.h"

IGraphicsHeadless::IGraphicsHeadless(IPlugBase* plugin, int width, int height, int frameRate,
                                     const EmbeddedResourceTable& resources)
    : IGraphics(plugin, width, height, frameRate), mResources(resources) {}

void IGraphicsHeadless::PresentRect(const IRect& rect) {
  ++mPresentCount;
  mLastPresented = rect;
}

void IGraphicsHeadless::ResizeSurface(int width, int height) {
  if (width == mWidth && height == mHeight) return;
  IGraphics::ResizeSurface(width, height);
}

int IGraphicsHeadless::ShowMessage(const char* /*text*/, const char* /*caption*/, int /*type*/) { return 0; }

IMenu* IGraphicsHeadless::ShowPopupMenu(IMenu& /*menu*/, const IRect& /*rect*/) {
  DropMouseCapture();
  return nullptr;
}

void IGraphicsHeadless::ShowTextEntry(IControl* /*control*/, const ITextStyle& /*style*/, const IRect& /*rect*/,
                                      const char* /*text*/, IParam* /*param*/) {}

void IGraphicsHeadless::ChooseFile(std::string& file, int /*action*/, std::string& /*folder*/,
                                   const char* /*extensions*/) {
  file.clear();
}

bool IGraphicsHeadless::OpenWebPage(const char* /*url*/, const char* /*title*/, const char* /*confirmText*/,
                                    const char* /*errorText*/) {
  return false;
}

bool IGraphicsHeadless::ClipboardText(std::string& text) {
  text.clear();
  return false;
}

void IGraphicsHeadless::HideCursor() {
  if (mCursorHidden) return;
  mCursorHidden = true;
}

void IGraphicsHeadless::RestoreCursor() { mCursorHidden = false; }

namespace {
// The embedded table seen as the bitmap layer's resource source.
class EmbeddedPngSource : public LICE_ResourceSource {
public:
  explicit EmbeddedPngSource(const EmbeddedResourceTable& table) : mTable(table) {}
  bool Lookup(int id, const void** data, size_t* length) const override {
    const EmbeddedResource* res = mTable.Find(id, "PNG");
    if (!res) return false;
    *data = res->data;
    *length = res->size;
    return true;
  }

private:
  const EmbeddedResourceTable& mTable;
};
}  // namespace

LICE_IBitmap* IGraphicsHeadless::LoadResourceBitmap(int resourceId, const char* name) {
  return LoadPngResource(EmbeddedPngSource(mResources), resourceId, name);
}
