// A parameter prompt's text entry, as every platform runs it: which events decide it, when the
// tick finishes it, and what the committed text becomes. No window: the calls below are what the
// platforms make of their events.

#include "GraphicsTestSupport.h"

#include "framework/graphics/TextEntrySession.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Tick = TextEntrySession::TickAction;
using Calls = std::vector<std::string>;

// A control that keeps what a free-text entry hands it.
class TextControl : public RecordingControl {
public:
  using RecordingControl::RecordingControl;
  void TextFromEntry(const char* text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// The threshold (parameter 0, steps 0..max) as a control on an editor without a window.
class TextEntrySessions : public ::testing::Test {
protected:
  TextEntrySessions() {
    g = new TestGraphics(&plug, 100, 100);
    control = new TextControl(&plug, IRect(0, 0, 40, 20), kParamCompressorThreshold);
    g->AddControl(control);
    plug.AttachGraphics(g);
    plug.calls.clear();
    param = plug.GetParam(kParamCompressorThreshold);
  }

  EditorTestPlug plug;
  TestGraphics* g;  // owned by plug
  TextControl* control;
  IParam* param;
  TextEntrySession session;
};

TEST_F(TextEntrySessions, EventsDecideAndTheTickFinishes) {
  const std::string p = std::to_string(kParamCompressorThreshold);
  const Calls gesture = {"begin " + p, "edit " + p, "end " + p};
  struct Case {
    const char* events;
    std::function<void(TextEntrySession&)> act;
    std::vector<Tick> ticks;  // what each tick answers, the last one finishing or not
    bool commits;
  } cases[] = {
      {"Enter", [](TextEntrySession& s) { EXPECT_TRUE(s.OnKey(TextEntryKey::kEnter)); }, {Tick::kFinish}, true},
      {"Escape", [](TextEntrySession& s) { EXPECT_TRUE(s.OnKey(TextEntryKey::kEscape)); }, {Tick::kFinish}, false},
      {"another key stays with the widget",
       [](TextEntrySession& s) { EXPECT_FALSE(s.OnKey(TextEntryKey::kOther)); },
       {Tick::kEditorTick},
       false},
      {"Escape, then Enter",
       [](TextEntrySession& s) { s.OnKey(TextEntryKey::kEscape), s.OnKey(TextEntryKey::kEnter); },
       {Tick::kFinish},
       true},
      {"Enter, then Escape",
       [](TextEntrySession& s) { s.OnKey(TextEntryKey::kEnter), s.OnKey(TextEntryKey::kEscape); },
       {Tick::kFinish},
       false},
      {"a press on the editor", [](TextEntrySession& s) { s.PressOnEditor(); }, {Tick::kFinish}, true},
      {"Escape, then a press",
       [](TextEntrySession& s) { s.OnKey(TextEntryKey::kEscape), s.PressOnEditor(); },
       {Tick::kFinish},
       true},
      {"the wheel", [](TextEntrySession& s) { s.Wheel(); }, {Tick::kFinish}, false},
      {"the editor cancels", [](TextEntrySession& s) { s.Cancel(); }, {Tick::kFinish}, false},
      {"focus lost", [](TextEntrySession& s) { s.FocusLost(); }, {Tick::kFinish}, true},
      {"Escape, then focus lost",
       [](TextEntrySession& s) { s.OnKey(TextEntryKey::kEscape), s.FocusLost(); },
       {Tick::kFinish},
       false},
      {"focus taken, then a press",
       [](TextEntrySession& s) { s.FocusTaken(), s.PressOnEditor(); },
       {Tick::kFinish},
       false},
      {"focus taken, a tick, then a press",
       [](TextEntrySession& s) {
         s.FocusTaken();
         EXPECT_EQ(s.OnTick(), Tick::kSettled);
         s.PressOnEditor();
       },
       {Tick::kFinish},
       true},
      {"focus taken", [](TextEntrySession& s) { s.FocusTaken(); }, {Tick::kSettled, Tick::kEditorTick}, false},
      {"a repaint", [](TextEntrySession& s) { s.Repainted(); }, {Tick::kSettled, Tick::kEditorTick}, false},
      {"Enter, then a repaint",
       [](TextEntrySession& s) { s.OnKey(TextEntryKey::kEnter), s.Repainted(); },
       {Tick::kFinish},
       true},
      {"focus lost after a repaint", [](TextEntrySession& s) { s.Repainted(), s.FocusLost(); }, {Tick::kFinish}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.events);
    control->SetValueFromPlugin(0.0);
    plug.calls.clear();
    ASSERT_TRUE(session.CanOpen(control));
    session.Open(control, param);
    c.act(session);
    for (Tick expected : c.ticks) EXPECT_EQ(session.OnTick(), expected);
    if (c.ticks.back() != Tick::kFinish) {
      EXPECT_TRUE(session.IsOpen());
      EXPECT_TRUE(session.Undecided());
      session.Close();
      continue;
    }
    session.Finish("3");
    EXPECT_FALSE(session.IsOpen());
    // A committed number is the parameter's value, set as one edit gesture of its own; a
    // cancelled entry changes nothing and tells the host nothing.
    EXPECT_EQ(control->GetValue(), c.commits ? param->ToNormalized(3.0) : 0.0);
    EXPECT_EQ(plug.calls, c.commits ? gesture : Calls());
    EXPECT_TRUE(control->texts.empty());
  }
}

TEST_F(TextEntrySessions, FreeTextGoesToTheControlCutToItsLength) {
  session.Open(control, nullptr);
  EXPECT_TRUE(session.Accepts('a')) << "free text takes letters, a parameter's entry would not";
  session.OnKey(TextEntryKey::kEnter);
  ASSERT_EQ(session.OnTick(), Tick::kFinish);
  session.Finish(std::string(40, 'x'));
  EXPECT_EQ(control->texts, std::vector<std::string>{std::string(TextEntrySession::kMaxTextLength, 'x')});
  EXPECT_TRUE(plug.calls.empty()) << "text is no parameter edit";

  session.Open(control, param);
  EXPECT_FALSE(session.Accepts('a'));
  EXPECT_TRUE(session.Accepts('7'));
}

TEST_F(TextEntrySessions, OneEntryAtATimeAndNoneWithoutAControl) {
  EXPECT_FALSE(session.CanOpen(nullptr));
  // Nothing decides or finishes an entry that is not open.
  EXPECT_FALSE(session.OnKey(TextEntryKey::kEnter));
  session.PressOnEditor();
  session.FocusLost();
  EXPECT_EQ(session.OnTick(), Tick::kEditorTick);
  EXPECT_EQ(session.GetState(), TextEntrySession::State::kClosed);

  const double before = control->GetValue();
  control->SetEntryMaxChars(5);
  session.Open(control, param);
  EXPECT_EQ(session.MaxChars(), 5);
  EXPECT_FALSE(session.CanOpen(control));
  session.OnKey(TextEntryKey::kEnter);
  // The window closing drops the entry with its decision.
  session.Close();
  EXPECT_EQ(session.OnTick(), Tick::kEditorTick);
  session.Finish("3");
  EXPECT_EQ(control->GetValue(), before);
  EXPECT_TRUE(plug.calls.empty());
  EXPECT_TRUE(session.CanOpen(control));
}

}  // namespace
