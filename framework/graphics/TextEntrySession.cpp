#include "framework/graphics/TextEntrySession.h"

#include "framework/graphics/IControl.h"
#include "framework/graphics/TextEntryRules.h"

void TextEntrySession::Open(IControl* control, IParam* param) {
  mControl = control;
  mParam = param;
  mState = State::kEditing;
}

void TextEntrySession::Close() {
  mState = State::kClosed;
  mControl = nullptr;
  mParam = nullptr;
}

bool TextEntrySession::Undecided() const {
  return mState == State::kEditing || mState == State::kJustFocused || mState == State::kRepainted;
}

int TextEntrySession::MaxChars() const {
  return mControl ? mControl->EntryMaxChars() : static_cast<int>(kMaxTextLength);
}

bool TextEntrySession::Accepts(char c) const { return TextEntryAccepts(mParam, c); }

bool TextEntrySession::OnKey(TextEntryKey key) {
  if (!IsOpen()) return false;
  switch (key) {
    case TextEntryKey::kEnter: Decide(State::kCommitting); return true;
    case TextEntryKey::kEscape: Decide(State::kCancelling); return true;
    case TextEntryKey::kOther: break;
  }
  return false;
}

void TextEntrySession::PressOnEditor() {
  // The press that follows the entry's taking the focus at once is taken for the user's
  // changing their mind before they typed anything.
  Decide(mState == State::kJustFocused ? State::kCancelling : State::kCommitting);
}

void TextEntrySession::FocusLost() {
  if (Undecided()) mState = State::kCommitting;
}

void TextEntrySession::FocusTaken() {
  if (Undecided()) mState = State::kJustFocused;
}

void TextEntrySession::Repainted() {
  // Only an entry being edited: a decision waiting for the tick stays.
  if (mState == State::kEditing) mState = State::kRepainted;
}

TextEntrySession::TickAction TextEntrySession::OnTick() {
  switch (mState) {
    case State::kClosed:
    case State::kEditing: return TickAction::kEditorTick;
    case State::kJustFocused:
    case State::kRepainted: mState = State::kEditing; return TickAction::kSettled;
    case State::kCommitting:
    case State::kCancelling: break;
  }
  return TickAction::kFinish;
}

void TextEntrySession::Finish(const std::string& text) {
  if (mState == State::kCommitting && mControl) {
    const std::string used = text.substr(0, kMaxTextLength);
    if (mParam)
      mControl->SetValueFromUser(TextEntryNormalizedValue(*mParam, used.c_str()));
    else
      mControl->TextFromEntry(used.c_str());
  }
  Close();
}

void TextEntrySession::Decide(State decision) {
  if (IsOpen()) mState = decision;
}
