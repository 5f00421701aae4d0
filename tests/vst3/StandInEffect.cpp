// A stand-in for the Velmora effect while its definition is being written: the same identity,
// channel configuration and thirteen stepped parameters, with the base's pass-through block.
// The module built from it exercises the whole binding.

#include "framework/vst3/EffectClassInfo.h"
#include "framework/vst3/IPlugVST3.h"

namespace {
struct ParamDef {
  const char* name;
  int max;
  int def;
};

const ParamDef kParams[] = {
    {"Compressor Threshold", 15, 15}, {"Limit Level", 22, 22},
    {"Gain", 10, 0},                  {"Mix", 22, 22},
    {"Ratio", 4, 2},                  {"High", 4, 2},
    {"Mid", 4, 2},                    {"High Pass Filter", 4, 0},
    {"Compressor Recovery Time", 5, 1}, {"Level Recovery Time", 5, 1},
    {"Bypass", 1, 1},                 {"External Sidechain", 1, 0},
    {"GR Select", 1, 0},
};
constexpr int kNumParams = static_cast<int>(sizeof(kParams) / sizeof(kParams[0]));

class StandInEffect : public IPlugVST3 {
public:
  StandInEffect()
      : IPlugVST3(kNumParams, "2-2 4-2", 1, "Velmora", "", "Corvanta", 0x00010100, FourCharCode("Vlm1"),
                  FourCharCode("Cvta")) {
    for (int i = 0; i < kNumParams; ++i) GetParam(i)->InitInt(kParams[i].name, kParams[i].def, kParams[i].max);
    MakeDefaultPreset();
  }
};

IPlugVST3* Create() { return new StandInEffect(); }
}  // namespace

const EffectClassInfo& GetEffectClassInfo() {
  static const EffectClassInfo info = {"Velmora", "Corvanta", "https://www.corvanta.com", "info@corvanta.com",
                                       "Fx|Dynamics", "1.1.0", FourCharCode("Cvta"), FourCharCode("Vlm1"),
                                       Create};
  return info;
}
