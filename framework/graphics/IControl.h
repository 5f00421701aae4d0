#pragma once
// Base of the editor's controls: a rectangle on the graphics surface holding a normalised value
// bound to a plug-in parameter. (The editor work extends this with painting and mouse handling.)

#include "framework/GrowableArray.h"

class IPlugBase;

struct AuxParam {
  double value;
  int paramIdx;
};

class IControl {
public:
  IControl(IPlugBase* plugin, int paramIdx) : mPlugin(plugin), mParamIdx(paramIdx) {}
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Called with a normalised value when the parameter changed elsewhere (host, state, preset).
  virtual void SetValueFromPlugin(double value);
  virtual void SetAuxValueFromPlugin(int auxIdx, double value);

  int ParamIdx() const { return mParamIdx; }
  double GetValue() const { return mValue; }
  int NAuxParams() const { return mAuxParams.Count(); }
  const AuxParam* GetAuxParam(int i) const { return mAuxParams.At(i); }
  void AddAuxParam(int paramIdx) { mAuxParams.Add(AuxParam{0.0, paramIdx}); }
  bool IsDirty() const { return mDirty; }
  void SetClean() { mDirty = false; }

protected:
  IPlugBase* mPlugin;
  int mParamIdx;
  double mValue = 0.0;
  bool mDirty = true;
  GrowableArray<AuxParam> mAuxParams;
};
