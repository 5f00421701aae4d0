// XEmbed between the editor and a Linux host: the test host's window embeds the editor the way
// the protocol's documentation describes, strictly (a window without a well-formed _XEMBED_INFO
// stays unmapped, as the VST3 SDK's reference editor host refuses it) or leniently, and speaks
// to it in _XEMBED messages; or it is only a parent, as hosts that do not speak XEmbed are.

#include "tests/support/PromptTestPlug.h"
#include "tests/window/platform/x11/X11TestHost.h"

#include "framework/graphics/platform/x11/IGraphicsX11.h"
#include "framework/vst3/HostRunLoop.h"
#include "plugin/VelmoraSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace Steinberg;
using namespace x11test;
using vst3host::HandlerCall;
using vst3host::HostWindow;
using vst3host::XEmbedEmbedder;
using vst3host::XEmbedInfo;
using Embedding = HostWindow::Embedding;

namespace {

constexpr uint32_t kKeysymTab = 0xFF09, kKeysymUp = 0xFF52, kKeysymReturn = 0xFF0D;
const IRect kWholeEditor(0, 0, kEditorWidth, kEditorHeight);

// ---- Asked of the server on a connection of the test's choosing ----

uint8_t MapState(xcb_connection_t* c, xcb_window_t window) {
  xcb_get_window_attributes_reply_t* a =
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
  const uint8_t state = a ? a->map_state : uint8_t{XCB_MAP_STATE_UNMAPPED};
  std::free(a);
  return state;
}

xcb_window_t InputFocus(xcb_connection_t* c) {
  xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
  const xcb_window_t window = focus ? focus->focus : 0;
  std::free(focus);
  return window;
}

// Waits until the server has handled what was sent on c (an embedder's message before the
// test's next XTest input, say).
void Sync(xcb_connection_t* c) { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

// A client message of any type and format, as a confused or future embedder might send it.
void SendMessage(xcb_connection_t* c, xcb_window_t window, xcb_atom_t type, uint8_t format,
                 const std::vector<uint32_t>& words) {
  xcb_client_message_event_t event;
  std::memset(&event, 0, sizeof(event));
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = format;
  event.window = window;
  event.type = type;
  std::copy(words.begin(), words.end(), event.data.data32);
  xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
  xcb_flush(c);
}

// A key press as embedders pass it on: addressed to the client, at no particular position.
xcb_key_press_event_t KeyPress(xcb_connection_t* c, xcb_keycode_t code, uint16_t state) {
  xcb_key_press_event_t e;
  std::memset(&e, 0, sizeof(e));
  e.response_type = XCB_KEY_PRESS;
  e.detail = code;
  e.root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  e.state = state;
  e.same_screen = 1;
  return e;
}

long Count(const std::vector<uint32_t>& messages, uint32_t message) {
  return std::count(messages.begin(), messages.end(), message);
}

std::vector<HandlerCall> CallsOf(const HostedEditor& editor, HandlerCall::Kind kind) {
  std::vector<HandlerCall> calls;
  for (const HandlerCall& c : editor.Calls())
    if (c.kind == kind) calls.push_back(c);
  return calls;
}

// ---- Velmora's editor in the test host ----

class X11XEmbed : public ::testing::Test {
protected:
  std::unique_ptr<HostedEditor> OpenShowing(Embedding embedding = Embedding::kXEmbedStrict) {
    std::unique_ptr<HostedEditor> editor = host.NewEditor(0, 0, true, embedding);
    EXPECT_EQ(editor->Attach(), kResultOk);
    EXPECT_TRUE(ScreenShowsTheDefaults(*editor));
    return editor;
  }

  bool ScreenShowsTheDefaults(const HostedEditor& editor) {
    if (!mDefaults.Pixels()) {
      EXPECT_TRUE(X11TestHost::Snapshot({}, &mDefaults));
    }
    int differing = -1;
    const bool shown = host.RunUntil([&] {
      LICE_MemBitmap screen;
      differing = host.Capture(editor.EditorWindow(), &screen) ? DifferingPixels(screen, mDefaults, kWholeEditor) : -1;
      return differing == 0;
    });
    if (!shown) ADD_FAILURE() << differing << " pixels differ from the editor at its defaults";
    return shown;
  }

  // A wheel notch up over a knob; true when it reached the host as an edit.
  bool WheelEdits(HostedEditor& editor, int paramIdx) {
    const IRect rect = editortest::KnobRect(editortest::Knob(paramIdx));
    host.MoveTo(editor.x + (rect.L + rect.R) / 2, editor.y + (rect.T + rect.B) / 2);
    const size_t before = CallsOf(editor, HandlerCall::kPerformEdit).size();
    host.Click(4);
    return host.RunUntil([&] { return CallsOf(editor, HandlerCall::kPerformEdit).size() > before; });
  }

  X11TestHost host;

private:
  LICE_MemBitmap mDefaults;
};

TEST_F(X11XEmbed, TheEditorsWindowCarriesItsInfoBeforeItIsMappedAndAStrictEmbedderShowsIt) {
  std::unique_ptr<HostedEditor> editor = host.NewEditor(0, 0);
  XEmbedEmbedder& embedder = *editor->window->Embedder();
  xcb_connection_t* c = editor->window->Connection();
  ASSERT_EQ(editor->Attach(), kResultOk);

  // What a strict host reads with XGetWindowProperty as soon as attached() returns, before it has
  // handled anything of the editor's window: version 0, mapped, in the property's own type.
  const xcb_window_t client = editor->EditorWindow();
  ASSERT_NE(client, 0u);
  const XEmbedInfo info = embedder.ReadInfo(client);
  EXPECT_TRUE(info.wellFormed) << "type " << info.type << " (_XEMBED_INFO is " << Atom(c, "_XEMBED_INFO")
                               << "), format " << int{info.format} << ", " << info.words.size() << " words";
  EXPECT_EQ(info.words, (std::vector<uint32_t>{0, XEmbedEmbedder::kFlagMapped}));
  EXPECT_EQ(MapState(c, client), XCB_MAP_STATE_UNMAPPED) << "its own map request waits for the embedder";

  // The embedder tells it, and maps it as the property asks.
  ASSERT_TRUE(host.RunUntil([&] {
    return embedder.Client() == client && MapState(c, client) == XCB_MAP_STATE_VIEWABLE;
  })) << embedder.Refusal();
  EXPECT_EQ(embedder.InfoWhenMapped().words, info.words);
  EXPECT_TRUE(ScreenShowsTheDefaults(*editor));
  EXPECT_TRUE(WheelEdits(*editor, kParamMix));

  EXPECT_EQ(editor->Removed(), kResultOk);
  EXPECT_TRUE(host.RunUntil([&] { return embedder.Client() == 0; })) << "the embedder saw its client go";
}

TEST_F(X11XEmbed, AHostThatOnlyHandsOverItsWindowShowsTheEditorToo) {
  std::unique_ptr<HostedEditor> editor = OpenShowing(Embedding::kPlainParent);
  EXPECT_EQ(editor->window->Embedder(), nullptr);
  EXPECT_TRUE(WheelEdits(*editor, kParamRatio));
  EXPECT_EQ(editor->Removed(), kResultOk);
}

TEST_F(X11XEmbed, TheEmbeddersMessagesReachTheEditorAndDoNotDisturbIt) {
  std::unique_ptr<HostedEditor> editor = OpenShowing();
  XEmbedEmbedder& embedder = *editor->window->Embedder();
  xcb_connection_t* c = editor->window->Connection();
  const xcb_window_t client = editor->EditorWindow();
  const xcb_window_t focusBefore = InputFocus(c);

  // Everything an embedder may send, in an order no embedder would, then what none should.
  embedder.Send(XEmbedEmbedder::kWindowActivate);
  embedder.Send(XEmbedEmbedder::kFocusIn, XEmbedEmbedder::kFocusFirst);
  embedder.Send(XEmbedEmbedder::kFocusIn, XEmbedEmbedder::kFocusLast);
  embedder.Send(XEmbedEmbedder::kModalityOn);
  embedder.Send(XEmbedEmbedder::kModalityOff);
  embedder.Send(XEmbedEmbedder::kFocusOut);
  embedder.Send(XEmbedEmbedder::kWindowDeactivate);
  embedder.Send(XEmbedEmbedder::kEmbeddedNotify, 0, editor->window->Window(), 9);  // a later version
  embedder.Send(XEmbedEmbedder::kEmbeddedNotify, 0, 0, 0);                         // from nobody
  for (uint32_t message : {3u, 6u, 7u, 8u, 9u, 12u, 13u, 14u, 15u, 0xFFFFFFFFu}) embedder.Send(message, 1, 2, 3);
  const xcb_atom_t xembed = Atom(c, "_XEMBED");
  SendMessage(c, client, xembed, 8, {0, XEmbedEmbedder::kModalityOn});
  SendMessage(c, client, xembed, 16, {0, XEmbedEmbedder::kModalityOn});
  SendMessage(c, client, Atom(c, "WM_PROTOCOLS"), 32, {0, XEmbedEmbedder::kModalityOn});
  const long long ticks = host.Loop().TimerCallbacks();
  ASSERT_TRUE(host.RunUntil([&] { return host.Loop().TimerCallbacks() >= ticks + 3; }));

  EXPECT_TRUE(ScreenShowsTheDefaults(*editor));
  EXPECT_TRUE(editor->Calls().empty());
  EXPECT_EQ(InputFocus(c), focusBefore) << "the focus is the host's";
  EXPECT_FALSE(host.PointerGrabbed());
  EXPECT_TRUE(WheelEdits(*editor, kParamGain)) << "no modality was left on";
  EXPECT_EQ(editor->Removed(), kResultOk);
}

TEST_F(X11XEmbed, WhileTheHostIsModalPressesAndTheWheelAreNotForTheEditor) {
  std::unique_ptr<HostedEditor> editor = OpenShowing();
  XEmbedEmbedder& embedder = *editor->window->Embedder();
  const IRect rect = editortest::KnobRect(editortest::Knob(kParamCompressorThreshold));
  const int x = (rect.L + rect.R) / 2, y = (rect.T + rect.B) / 2;

  embedder.Send(XEmbedEmbedder::kModalityOn);
  Sync(editor->window->Connection());
  host.MoveTo(x, y);
  host.Click(4);
  host.Click(1);
  host.Click(3);
  // A drag that starts while the dialog is up and ends after it went.
  host.Press(1);
  host.MoveTo(x, y - 30);
  embedder.Send(XEmbedEmbedder::kModalityOff);
  Sync(editor->window->Connection());
  host.Release(1);
  host.MoveTo(x, y);

  EXPECT_TRUE(WheelEdits(*editor, kParamCompressorThreshold)) << "the editor is back";
  EXPECT_EQ(CallsOf(*editor, HandlerCall::kPerformEdit).size(), 1u) << "only the last notch";
  EXPECT_EQ(CallsOf(*editor, HandlerCall::kContextMenu).size(), 0u);
  EXPECT_LE(CallsOf(*editor, HandlerCall::kEndEdit).size(), CallsOf(*editor, HandlerCall::kBeginEdit).size())
      << "no gesture ends that did not begin";
  EXPECT_FALSE(host.PointerGrabbed());
  EXPECT_EQ(editor->Removed(), kResultOk);
}

TEST_F(X11XEmbed, KeysTheEmbedderPassesOnStayWithTheEditorAndTabHandsTheFocusOn) {
  std::unique_ptr<HostedEditor> editor = OpenShowing();
  XEmbedEmbedder& embedder = *editor->window->Embedder();
  xcb_connection_t* c = editor->window->Connection();
  embedder.GiveFocus(XEmbedEmbedder::kFocusFirst);
  const xcb_keycode_t a = host.KeyCode('a'), tab = host.KeyCode(kKeysymTab);
  ASSERT_NE(a, 0);
  ASSERT_NE(tab, 0);

  // Velmora's controls use no keys; sent back, a key would come back again from the embedder.
  embedder.PassOnKey(KeyPress(c, a, 0));
  embedder.PassOnKey(KeyPress(c, tab, 0));
  ASSERT_TRUE(host.RunUntil([&] { return Count(embedder.FromClient(), XEmbedEmbedder::kFocusNext) == 1; }));
  embedder.PassOnKey(KeyPress(c, tab, XCB_MOD_MASK_SHIFT));
  ASSERT_TRUE(host.RunUntil([&] { return Count(embedder.FromClient(), XEmbedEmbedder::kFocusPrev) == 1; }));
  EXPECT_TRUE(editor->window->Keys().empty()) << "nothing came back to the host's window";
  EXPECT_TRUE(editor->Calls().empty());
  EXPECT_EQ(editor->Removed(), kResultOk);
}

TEST_F(X11XEmbed, AWindowWithoutInfoStaysUnmappedInAStrictEmbedderAndShowsInALenientOne) {
  xcb_connection_t* other = xcb_connect(nullptr, nullptr);
  ASSERT_FALSE(xcb_connection_has_error(other));
  for (const bool strict : {true, false}) {
    std::string error;
    const std::unique_ptr<HostWindow> window =
        HostWindow::Open(0, 0, 100, 100, "bare", &error, strict ? Embedding::kXEmbedStrict : Embedding::kXEmbed);
    ASSERT_NE(window, nullptr) << error;
    HostWindow* w = window.get();
    host.Loop().Watch(
        w->Descriptor(), [w] { w->ProcessEvents(); }, [w] { return w->HasQueuedEvents(); });
    // A child of another program's that says nothing about XEmbed, and maps itself.
    const xcb_window_t child = xcb_generate_id(other);
    xcb_create_window(other, XCB_COPY_FROM_PARENT, child, w->Window(), 0, 0, 50, 50, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(other, child);
    xcb_flush(other);
    if (strict) {
      EXPECT_TRUE(host.RunUntil([&] { return !w->Embedder()->Refusal().empty(); }));
      host.RunFor(50);
      EXPECT_EQ(MapState(other, child), XCB_MAP_STATE_UNMAPPED);
    } else {
      EXPECT_TRUE(host.RunUntil([&] { return MapState(other, child) == XCB_MAP_STATE_VIEWABLE; }));
      EXPECT_EQ(w->Embedder()->Refusal(), "");
    }
    EXPECT_EQ(w->Embedder()->Client(), 0u) << "not embedded the XEmbed way";
    host.Loop().Unwatch(w->Descriptor());
  }
  xcb_disconnect(other);
}

// ---- A text entry and a key-handling control, on the prompt tests' plug-in ----

class KeyRecordingControl : public IControl {
public:
  KeyRecordingControl(IPlugBase* plugin, const IRect& rect) : IControl(plugin, rect) {}
  bool Paint(IGraphics&) override { return true; }
  bool OnKey(int, int, int key) override {
    keys.push_back(key);
    return true;
  }
  std::vector<int> keys;
};

class X11XEmbedPrompt : public ::testing::Test {
protected:
  static constexpr int kIntParam = PromptTestPlug::kIntParam;
  const IRect kEntryRect = IRect(30, 30, 70, 46);
  const IRect kKeyRect = IRect(130, 20, 190, 60);

  X11XEmbedPrompt() {
    graphics = new IGraphicsX11(&plug, PromptTestPlug::kWidth, PromptTestPlug::kHeight, 25);
    plug.AttachPromptGraphics(graphics);
    keyControl = new KeyRecordingControl(&plug, kKeyRect);
    graphics->AddControl(keyControl);

    std::string error;
    window = HostWindow::Open(0, 0, PromptTestPlug::kWidth, PromptTestPlug::kHeight, "xembed prompt", &error,
                              Embedding::kXEmbedStrict);
    HostWindow* w = window.get();
    host.Loop().Watch(
        w->Descriptor(), [w] { w->ProcessEvents(); }, [w] { return w->HasQueuedEvents(); });
    frame = owned(new vst3host::PlugFrame(&host.Loop()));
    runLoop = ConnectHostRunLoop(frame);
    graphics->SetHostRunLoop(runLoop.get());
    EXPECT_NE(graphics->OpenEditorWindow(window->ParentHandle()), nullptr);
    EXPECT_TRUE(host.RunUntil([&] {
      return Embedder().Client() != 0 && MapState(window->Connection(), Embedder().Client()) == XCB_MAP_STATE_VIEWABLE;
    }));
    // The editor is called directly here, not through its events: first it has to have read the
    // embedder's notice, sent before the map.
    const long long ticks = host.Loop().TimerCallbacks();
    host.RunUntil([&] { return host.Loop().TimerCallbacks() >= ticks + 2; });
  }
  ~X11XEmbedPrompt() override {
    graphics->CloseEditorWindow();
    graphics->SetHostRunLoop(nullptr);
    host.Loop().Unwatch(window->Descriptor());
  }

  XEmbedEmbedder& Embedder() { return *window->Embedder(); }
  xcb_window_t Focus() { return InputFocus(window->Connection()); }
  // The entry's window inside the editor's, 0 while none.
  xcb_window_t EntryWindow() {
    xcb_connection_t* c = window->Connection();
    const auto editor = static_cast<xcb_window_t>(reinterpret_cast<uintptr_t>(graphics->NativeWindow()));
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, editor), nullptr);
    const xcb_window_t entry = tree && xcb_query_tree_children_length(tree) > 0 ? xcb_query_tree_children(tree)[0] : 0;
    std::free(tree);
    return entry;
  }
  bool Reported(double normalized) {
    return host.RunUntil([&] {
      return !plug.reports.empty() && plug.reports.back().first == kIntParam &&
             plug.reports.back().second == normalized;
    });
  }
  void Type(const char* keys) {
    for (const char* k = keys; *k; ++k) host.Key(host.KeyCode(static_cast<unsigned char>(*k)));
  }

  X11TestHost host;
  PromptTestPlug plug;
  IGraphicsX11* graphics;           // owned by plug
  KeyRecordingControl* keyControl;  // owned by graphics
  std::unique_ptr<HostWindow> window;
  IPtr<vst3host::PlugFrame> frame;
  std::unique_ptr<EditorRunLoop> runLoop;
};

TEST_F(X11XEmbedPrompt, ATextEntryTakesTheKeyboardOnlyWhenTheEmbedderGivesIt) {
  IParam* param = plug.GetParam(kIntParam);
  Embedder().GrantFocusRequests(false);
  graphics->PromptParamEdit(plug.intControl, param, kEntryRect);
  ASSERT_TRUE(host.RunUntil([&] { return Count(Embedder().FromClient(), XEmbedEmbedder::kRequestFocus) == 1; }));
  const xcb_window_t entry = EntryWindow();
  ASSERT_NE(entry, 0u);
  host.RunFor(100);
  EXPECT_NE(Focus(), entry) << "asked for, not taken";

  Embedder().GiveFocus();
  ASSERT_TRUE(host.RunUntil([&] { return Focus() == entry; }));
  host.MoveTo(150, 100);  // keys reach the entry wherever the pointer is
  Type("12");
  host.Key(host.KeyCode(kKeysymReturn));
  EXPECT_TRUE(Reported(param->ToNormalized(12)));
  EXPECT_TRUE(host.RunUntil([&] { return EntryWindow() == 0; }));

  // The focus given stays given: the next entry has the keyboard at once. The embedder taking the
  // focus away (to a window of its own) commits it, as a click elsewhere does, and the focus
  // stays where the embedder put it.
  graphics->PromptParamEdit(plug.intControl, param, kEntryRect);
  ASSERT_TRUE(host.RunUntil([&] { return EntryWindow() != 0 && Focus() == EntryWindow(); }));
  Type("7");
  xcb_set_input_focus(window->Connection(), XCB_INPUT_FOCUS_PARENT, window->Window(), XCB_CURRENT_TIME);
  Embedder().TakeFocus();
  EXPECT_TRUE(Reported(param->ToNormalized(7)));
  EXPECT_TRUE(host.RunUntil([&] { return EntryWindow() == 0; }));
  EXPECT_EQ(Focus(), window->Window());
  EXPECT_EQ(Count(Embedder().FromClient(), XEmbedEmbedder::kRequestFocus), 1);
}

TEST_F(X11XEmbedPrompt, KeysTheEmbedderPassesOnGoToTheControlUnderThePointer) {
  Embedder().GiveFocus();
  host.MoveTo((kKeyRect.L + kKeyRect.R) / 2, (kKeyRect.T + kKeyRect.B) / 2);
  // At (0, 0) of the event: where the embedder says the key was means nothing to the editor.
  Embedder().PassOnKey(KeyPress(window->Connection(), host.KeyCode(kKeysymUp), 0));
  ASSERT_TRUE(host.RunUntil([&] { return !keyControl->keys.empty(); }));
  EXPECT_EQ(keyControl->keys, std::vector<int>{KeyUp});
  host.RunFor(50);
  EXPECT_TRUE(window->Keys().empty());
}

}  // namespace
