// The platform operations' defaults: what an editor without a window or system dialogs answers.
// The headless platform uses all of them; window platforms override what their system offers.

#include "framework/graphics/IGraphics.h"

IMenu* IGraphics::ShowPopupMenu(IMenu& /*menu*/, const IRect& /*rect*/) {
  // The press that asked for the menu would otherwise go on to drag the control.
  DropMouseCapture();
  return nullptr;
}

void IGraphics::ShowTextEntry(IControl* /*control*/, const ITextStyle& /*style*/, const IRect& /*rect*/,
                              const char* /*text*/, IParam* /*param*/) {}

int IGraphics::ShowMessage(const char* /*text*/, const char* /*caption*/, int /*type*/) { return 0; }

void IGraphics::ChooseFile(std::string& file, int /*action*/, std::string& /*folder*/, const char* /*extensions*/) {
  file.clear();
}

bool IGraphics::OpenWebPage(const char* /*url*/, const char* /*title*/, const char* /*confirmText*/,
                            const char* /*errorText*/) {
  return false;
}

bool IGraphics::ClipboardText(std::string& text) {
  text.clear();
  return false;
}

LICE_IBitmap* IGraphics::LoadResourceBitmap(int resourceId, const char* name) {
  return mResources.LoadPng(resourceId, name);
}
