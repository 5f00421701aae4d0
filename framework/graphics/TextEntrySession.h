#pragma once
// The life of a parameter prompt's one-line text entry, the same on every platform: when it is
// open, what ends it, and what its text becomes. The platform class owns the widget (a window it
// draws, a native edit box), turns its window system's events into the calls below and finishes
// the entry when the refresh tick says so; the decisions are made here, beside the rules of what
// the entry lets through (TextEntryRules.h).
//
// An entry is never finished in the middle of an event: a decision (commit or cancel) is only
// recorded, and the next refresh tick finishes it, so the window system's own handling of the
// event that decided it (a key, a press, a focus change) completes on a widget still alive. The
// last explicit decision wins (Escape then Enter commits); losing the keyboard focus commits only
// an entry still undecided. A commit of a parameter's entry sets the control's value from the text
// (one edit gesture of its own, EditGesture.h); an entry without a parameter hands the text to the
// control (IControl::TextFromEntry). Everything runs on the UI thread.

#include <string>

class IControl;
class IParam;

// The keys that can end an entry, as a platform's key translation names them.
enum class TextEntryKey { kEnter, kEscape, kOther };

class TextEntrySession {
public:
  enum class State {
    kClosed,
    kEditing,
    // The entry has just taken the keyboard focus (a platform whose widget gets it asynchronously
    // says so): until the next tick a press on the editor cancels it instead of committing.
    kJustFocused,
    // The editor has just repainted around the entry: the next tick only settles it.
    kRepainted,
    kCommitting,
    kCancelling,
  };
  // The longest text a commit uses.
  static constexpr size_t kMaxTextLength = 32;

  // Whether an entry for control may open now: there must be a control and no entry open.
  bool CanOpen(const IControl* control) const { return control && mState == State::kClosed; }
  // The platform's widget is up: the entry is open for control (and param, null for free text).
  void Open(IControl* control, IParam* param);
  // Ends the entry without a result (the window is closing, the widget is gone).
  void Close();

  bool IsOpen() const { return mState != State::kClosed; }
  State GetState() const { return mState; }
  // Neither committed nor cancelled yet.
  bool Undecided() const;
  IControl* Control() const { return mControl; }
  IParam* Param() const { return mParam; }
  // The most characters the entry holds (the control's limit).
  int MaxChars() const;
  // Whether a typed character may go in (TextEntryAccepts for the entry's parameter).
  bool Accepts(char c) const;

  // ---- What decides ----
  // Enter commits and Escape cancels; answers whether the key was one of them (the widget does
  // not see it then).
  bool OnKey(TextEntryKey key);
  // A press on the editor outside the entry: commits (cancels while kJustFocused).
  void PressOnEditor();
  // The wheel, over the editor or the entry: cancels.
  void Wheel() { Decide(State::kCancelling); }
  // The editor's CancelTextEntry, or a platform's own reason to give up.
  void Cancel() { Decide(State::kCancelling); }
  // A platform's own reason to take the text as it is.
  void Commit() { Decide(State::kCommitting); }
  // The widget lost the keyboard focus (a click into another window, an embedder taking it):
  // commits an undecided entry.
  void FocusLost();
  // See State.
  void FocusTaken();
  void Repainted();

  // ---- What finishes ----
  enum class TickAction {
    kEditorTick,  // no entry, or one still being edited: the editor's own tick runs
    kSettled,     // the tick only settled the entry
    kFinish,      // decided: the platform calls Finish with the widget's text, then closes the widget
  };
  // One refresh tick of the window.
  TickAction OnTick();
  // Applies a commit with the widget's text (its first kMaxTextLength characters), then closes
  // the session. Does nothing more for a cancel.
  void Finish(const std::string& text);

private:
  void Decide(State decision);

  State mState = State::kClosed;
  IControl* mControl = nullptr;
  IParam* mParam = nullptr;
};
