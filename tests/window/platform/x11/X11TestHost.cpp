#include "tests/window/platform/x11/X11TestHost.h"

#include "bitmap/LICE_Png.h"
#include "tests/support/TempFolder.h"
#include "tools/vst3host/ViewScale.h"

#include <xcb/xtest.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace x11test {

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}
}  // namespace

// ---- HostedEditor ----

HostedEditor::~HostedEditor() {
  if (loop && window) loop->Unwatch(window->Descriptor());
  // A view still attached closes its window when released.
  view = nullptr;
}

xcb_window_t HostedEditor::EditorWindow() const {
  const std::vector<xcb_window_t> children = window->Children();
  return children.empty() ? 0 : children.front();
}

tresult HostedEditor::Attach() { return view->attached(window->ParentHandle(), kPlatformTypeX11EmbedWindowID); }

void HostedEditor::SetSteps(const std::vector<std::pair<int, int>>& steps) { editortest::SendSteps(*instance, steps); }

void HostedEditor::ProcessLoudAudio(double seconds) { editortest::ProcessLoudAudio(*instance, seconds); }

// ---- X11TestHost ----

X11TestHost::X11TestHost() : mLoop(owned(new vst3host::RunLoop())) {
  mHostApp = new vst3host::HostApplication("Velmora X11 Test Host");
  int screen = 0;
  mInput = xcb_connect(nullptr, &screen);
  if (xcb_connection_has_error(mInput)) {
    ADD_FAILURE() << "no X display; run under tools/with-xvfb.sh";
    return;
  }
  mRoot = xcb_setup_roots_iterator(xcb_get_setup(mInput)).data->root;
}

X11TestHost::~X11TestHost() {
  xcb_disconnect(mInput);
  mHostApp->release();
}

std::unique_ptr<HostedEditor> X11TestHost::NewEditor(int x, int y, bool offerRunLoop,
                                                     vst3host::HostWindow::Embedding embedding, double scale) {
  auto editor = std::make_unique<HostedEditor>();
  editor->handler = owned(new vst3host::RecordingComponentHandler());
  editor->instance = editortest::NewVelmoraInstance(VELMORA_BUNDLE_DIR, mHostApp->Context(), editor->handler);
  if (!editor->instance) return nullptr;
  editor->view = owned(editor->instance->Controller()->createView(ViewType::kEditor));
  if (scale != 1.0) {
    EXPECT_TRUE(vst3host::OfferContentScale(editor->view, scale));
  }
  ViewRect size;
  editor->view->getSize(&size);
  std::string error;
  editor->window =
      vst3host::HostWindow::Open(x, y, size.getWidth(), size.getHeight(), "Velmora X11 Test Host", &error, embedding);
  if (!editor->window) {
    ADD_FAILURE() << error;
    return nullptr;
  }
  editor->x = x;
  editor->y = y;
  editor->frame = owned(new vst3host::PlugFrame(offerRunLoop ? mLoop.get() : nullptr));
  editor->view->setFrame(editor->frame);
  vst3host::HostWindow* window = editor->window.get();
  editor->loop = mLoop.get();
  mLoop->Watch(
      window->Descriptor(), [window] { window->ProcessEvents(); }, [window] { return window->HasQueuedEvents(); });
  // The window is on the screen before anything is embedded in it.
  xcb_flush(window->Connection());
  Sync();
  return editor;
}

bool X11TestHost::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  return mLoop->RunUntil(done, timeoutMs);
}

void X11TestHost::RunFor(int ms) {
  mLoop->RunUntil([] { return false; }, ms);
}

void X11TestHost::MoveTo(int rootX, int rootY) {
  xcb_test_fake_input(mInput, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, mRoot, static_cast<int16_t>(rootX),
                      static_cast<int16_t>(rootY), 0);
  Sync();
}

void X11TestHost::Press(int button) {
  xcb_test_fake_input(mInput, XCB_BUTTON_PRESS, static_cast<uint8_t>(button), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  Sync();
}

void X11TestHost::Release(int button) {
  xcb_test_fake_input(mInput, XCB_BUTTON_RELEASE, static_cast<uint8_t>(button), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  Sync();
}

void X11TestHost::Key(xcb_keycode_t code) {
  xcb_test_fake_input(mInput, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  xcb_test_fake_input(mInput, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
  Sync();
}

xcb_keycode_t X11TestHost::KeyCode(uint32_t keysym) const {
  const xcb_setup_t* setup = xcb_get_setup(mInput);
  const auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
  xcb_get_keyboard_mapping_reply_t* map =
      xcb_get_keyboard_mapping_reply(mInput, xcb_get_keyboard_mapping(mInput, setup->min_keycode, count), nullptr);
  if (!map) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
  xcb_keycode_t found = 0;
  for (int i = 0; i < count && !found; ++i)
    if (syms[i * map->keysyms_per_keycode] == keysym) found = static_cast<xcb_keycode_t>(setup->min_keycode + i);
  std::free(map);
  return found;
}

void X11TestHost::Sync() {
  xcb_flush(mInput);
  std::free(xcb_get_input_focus_reply(mInput, xcb_get_input_focus(mInput), nullptr));
}

bool X11TestHost::KeysGoTo(xcb_window_t window) const {
  xcb_get_input_focus_reply_t* focusReply = xcb_get_input_focus_reply(mInput, xcb_get_input_focus(mInput), nullptr);
  if (!focusReply) return false;
  const xcb_window_t focus = focusReply->focus;
  std::free(focusReply);
  if (focus == XCB_NONE) return false;
  // The deepest window under the pointer, and whether the focus window is on the way to it.
  xcb_window_t under = mRoot;
  bool focusContainsPointer = focus == XCB_INPUT_FOCUS_POINTER_ROOT || focus == mRoot;
  for (;;) {
    xcb_query_pointer_reply_t* p = xcb_query_pointer_reply(mInput, xcb_query_pointer(mInput, under), nullptr);
    const xcb_window_t child = p ? p->child : XCB_NONE;
    std::free(p);
    if (child == XCB_NONE) break;
    under = child;
    focusContainsPointer = focusContainsPointer || child == focus;
  }
  xcb_window_t receiver = focusContainsPointer ? under : focus;
  // Inside window: window itself or one of its descendants.
  while (receiver != XCB_NONE && receiver != mRoot) {
    if (receiver == window) return true;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mInput, xcb_query_tree(mInput, receiver), nullptr);
    receiver = tree ? tree->parent : XCB_NONE;
    std::free(tree);
  }
  return false;
}

bool X11TestHost::Capture(xcb_window_t window, LICE_MemBitmap* out) const {
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(mInput, xcb_get_geometry(mInput, window), nullptr);
  if (!geometry) return false;
  const int w = geometry->width, h = geometry->height;
  std::free(geometry);
  xcb_get_image_reply_t* image =
      xcb_get_image_reply(mInput,
                          xcb_get_image(mInput, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, static_cast<uint16_t>(w),
                                        static_cast<uint16_t>(h), ~0u),
                          nullptr);
  if (!image) return false;
  // The private server's screen is 24 bits deep in 32-bit pixels: B, G, R, unused.
  const bool ok = xcb_get_image_data_length(image) == w * h * 4;
  if (ok) {
    out->Resize(w, h);
    const uint8_t* data = xcb_get_image_data(image);
    for (int y = 0; y < h; ++y) {
      LICE_pixel* row = LICE_RowAddress(*out, y);
      std::memcpy(row, data + static_cast<size_t>(y) * static_cast<size_t>(w) * 4, static_cast<size_t>(w) * 4);
      for (int x = 0; x < w; ++x) row[x] |= 0xFF000000u;
    }
  }
  std::free(image);
  return ok;
}

bool X11TestHost::PointerGrabbed() const {
  xcb_grab_pointer_reply_t* reply =
      xcb_grab_pointer_reply(mInput,
                             xcb_grab_pointer(mInput, 0, mRoot, XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_ASYNC,
                                              XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                             nullptr);
  const bool grabbedElsewhere = !reply || reply->status != XCB_GRAB_STATUS_SUCCESS;
  std::free(reply);
  xcb_ungrab_pointer(mInput, XCB_CURRENT_TIME);
  xcb_flush(mInput);
  return grabbedElsewhere;
}

bool X11TestHost::PopupShown() const {
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mInput, xcb_query_tree(mInput, mRoot), nullptr);
  if (!tree) return false;
  bool shown = false;
  const xcb_window_t* children = xcb_query_tree_children(tree);
  for (int i = 0; i < xcb_query_tree_children_length(tree) && !shown; ++i) {
    xcb_get_window_attributes_reply_t* a =
        xcb_get_window_attributes_reply(mInput, xcb_get_window_attributes(mInput, children[i]), nullptr);
    shown = a && a->override_redirect && a->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(a);
  }
  std::free(tree);
  return shown;
}

int X11TestHost::ChildCount(xcb_window_t window) const {
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mInput, xcb_query_tree(mInput, window), nullptr);
  const int count = tree ? xcb_query_tree_children_length(tree) : 0;
  std::free(tree);
  return count;
}

IRect X11TestHost::FirstChildRect(xcb_window_t window) const {
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(mInput, xcb_query_tree(mInput, window), nullptr);
  const xcb_window_t child = tree && xcb_query_tree_children_length(tree) > 0 ? xcb_query_tree_children(tree)[0] : 0;
  std::free(tree);
  if (!child) return IRect();
  xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(mInput, xcb_get_geometry(mInput, child), nullptr);
  const IRect rect = g ? IRect(g->x, g->y, g->x + g->width, g->y + g->height) : IRect();
  std::free(g);
  return rect;
}

int X11TestHost::WindowDepthAt(int rootX, int rootY) const {
  // Each step asks for the mapped child of the window found so far that holds the point.
  int depth = 0;
  xcb_window_t window = mRoot;
  for (;;) {
    xcb_translate_coordinates_reply_t* r = xcb_translate_coordinates_reply(
        mInput,
        xcb_translate_coordinates(mInput, mRoot, window, static_cast<int16_t>(rootX), static_cast<int16_t>(rootY)),
        nullptr);
    const xcb_window_t child = r ? r->child : 0;
    std::free(r);
    if (!child) return depth;
    window = child;
    ++depth;
  }
}

bool X11TestHost::Snapshot(const std::vector<std::string>& sets, LICE_MemBitmap* out) {
  TempFolder folder;
  const std::string path = folder.Path("snapshot.png");
  std::string command = Quoted(VELMORA_SNAPSHOT_EXE) + " " + Quoted(path);
  for (const std::string& set : sets) command += " --set " + Quoted(set);
  command += " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return false;
  return DecodePngFile(path.c_str(), true, out) != nullptr;
}

}  // namespace x11test
