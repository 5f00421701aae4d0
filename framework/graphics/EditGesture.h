#pragma once
// The edit gestures the editor reports to the host. Every user action that changes a parameter
// is exactly one BeginParamEdit ... ReportParamEdit ... EndParamEdit (hosts record automation and
// undo steps by them, and take an end without its begin for a broken gesture):
//   - a press and its drag, until the release;
//   - a double click (to the default), until its release;
//   - a burst of wheel notches, until a short pause, the pointer leaving, a press, or the window
//     closing;
//   - anything else (a menu choice, a typed value) at once.
// The begin goes out with the action's first edit, so an action that changes nothing (a click
// without a drag, a right click that opens the host's parameter menu) tells the host nothing.
// Everything runs on the UI thread.

class IPlugBase;

class EditGesture {
public:
  explicit EditGesture(IPlugBase* plugin) : mPlugin(plugin) {}

  // A button went down (a press or a double click): what was open ends, and the edits until
  // PointerUp are one gesture.
  void PointerDown();
  // The button came up: the gesture ends.
  void PointerUp();
  // A wheel notch. While a control holds the pointer (duringDrag) it belongs to the drag's
  // gesture; otherwise notches form one gesture that ends idleTicks refresh ticks after the last
  // of them (a pointer action whose release never came ends first).
  void WheelNotch(int idleTicks, bool duringDrag);
  // One refresh tick: counts down the pause after a wheel burst.
  void Tick();
  // The pointer left the editor: a wheel gesture ends (a drag goes on, the window holds the mouse).
  void PointerLeft();
  // The window is closing or the layout is going: whatever is open ends, since no release follows.
  void EndAll();
  // The editor is being destroyed with the plug-in, which can no longer be called: forgets what
  // is open without telling anyone.
  void Forget();

  // A control's edit: begins the gesture if it is the action's first edit (ending a gesture on
  // another parameter first), then hands the value to the plug-in (SetParamFromEditor). An edit
  // outside any action is a gesture of its own.
  void Edit(int paramIdx, double normalized);

  // The parameter whose gesture is open, -1 for none.
  int OpenParam() const { return mOpenParam; }

private:
  enum class Scope { kNone, kPointer, kWheel };
  void End();

  IPlugBase* mPlugin;
  Scope mScope = Scope::kNone;
  int mOpenParam = -1;
  int mWheelTicksLeft = 0;
};
