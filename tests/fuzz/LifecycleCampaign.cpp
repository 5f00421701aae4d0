// Lifecycle orders: an instance straight from the factory gets the host calls in random order,
// before initialise, between initialise and terminate, after terminate and after initialising
// again. Nothing crashes or leaks, whatever process writes is finite, and every call that is
// refused leaves the state, the host's parameter values and the buses as they were.

#include "tests/fuzz/Campaigns.h"

#include "plugin/VelmoraSteps.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/vstspeaker.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace fuzz {

namespace {
template <class I>
I* Query(FUnknown* object) {
  void* obj = nullptr;
  return object->queryInterface(I::iid, &obj) == kResultOk ? static_cast<I*>(obj) : nullptr;
}

SpeakerArrangement Arrangement(Rng& rng) {
  const std::vector<SpeakerArrangement> common = {SpeakerArr::kMono, SpeakerArr::kStereo, SpeakerArr::k51, 0};
  return rng.Chance(0.8) ? rng.Pick(common) : static_cast<SpeakerArrangement>(rng.Bits64());
}

ProcessSetup Setup(Rng& rng) {
  ProcessSetup setup{rng.Int(0, 2), rng.Chance(0.5) ? kSample64 : kSample32, rng.Pick(std::vector<int32>{64, 256, 1}),
                     rng.Pick(std::vector<double>{44100.0, 96000.0, 8000.0})};
  if (rng.Chance(0.2)) setup.maxSamplesPerBlock = static_cast<int32>(rng.Bits32());
  if (rng.Chance(0.1)) setup.sampleRate = rng.Pick(HostileValues());
  if (rng.Chance(0.05)) setup.symbolicSampleSize = rng.Int(2, 5);
  return setup;
}
}  // namespace

void LifecycleOrders(Rng& rng, Verdict& verdict) {
  IPtr<vst3host::HostApplication> host = owned(new vst3host::HostApplication("Velmora Fuzz Host"));
  IPtr<vst3host::RecordingComponentHandler> handler = owned(new vst3host::RecordingComponentHandler());
  void* obj = nullptr;
  if (!verdict.Check(TheModule().Factory()->createInstance(TheClass(), IComponent::iid, &obj) == kResultOk && obj,
                     "the factory created no instance"))
    return;
  IPtr<IComponent> component = owned(static_cast<IComponent*>(obj));
  IPtr<IAudioProcessor> processor = owned(Query<IAudioProcessor>(component));
  IPtr<IEditController> controller = owned(Query<IEditController>(component));
  if (!verdict.Check(processor && controller, "an instance without a processor or controller")) return;

  vst3host::ProcessBuffers buffers32(kSample32, 512, {2, 2}, {2});
  vst3host::ProcessBuffers buffers64(kSample64, 512, {2, 2}, {2});
  IPtr<vst3host::ParameterChanges> changes = owned(new vst3host::ParameterChanges());
  std::vector<uint8_t> saved;
  long frame = 0;

  for (int step = rng.Int(5, 40); step > 0 && !verdict.Failed(); --step) {
    const int op = rng.Int(0, 13);
    const Fingerprint before = Take(component, controller);
    tresult result = kResultOk;
    bool refusalChangesNothing = true;
    switch (op) {
      case 0: result = component->initialize(rng.Chance(0.9) ? host->Context() : nullptr); break;
      case 1: result = component->terminate(); break;
      case 2: {
        ProcessSetup setup = Setup(rng);
        result = processor->setupProcessing(setup);
        break;
      }
      case 3: result = component->setActive(rng.Chance(0.6)); break;
      case 4: result = processor->setProcessing(rng.Chance(0.6)); break;
      case 5: {
        vst3host::ProcessBuffers& buffers = rng.Chance(0.5) ? buffers32 : buffers64;
        changes->Clear();
        if (rng.Chance(0.3)) changes->Add(ParameterId(rng), 0, NormalisedValue(rng));
        const int frames = rng.Int(0, 512);
        buffers.FillAll(0.25);  // what the plug-in leaves unwritten stays 0.25, a finite value
        FillSignal(buffers, frame, frames, 2);
        result = processor->process(buffers.Data(frames, changes));
        CheckFinite(buffers, frames, verdict, "in a random lifecycle");
        frame += frames;
        refusalChangesNothing = false;  // a block's parameter changes count even before setup
        break;
      }
      case 6: {
        std::vector<uint8_t> bytes = saved;
        if (bytes.empty() || rng.Chance(0.3)) bytes.assign(static_cast<size_t>(rng.Int(0, 120)), 7);
        const int face = rng.Int(0, 2);
        IPtr<IBStream> stream = StreamOf(bytes);
        result = face == 0   ? component->setState(stream)
                 : face == 1 ? controller->setState(stream)
                             : controller->setComponentState(stream);
        break;
      }
      case 7: saved = SaveState(component); break;
      case 8: {
        std::vector<SpeakerArrangement> ins, outs;
        for (int n = rng.Int(0, 3); n > 0; --n) ins.push_back(Arrangement(rng));
        for (int n = rng.Int(0, 2); n > 0; --n) outs.push_back(Arrangement(rng));
        result = processor->setBusArrangements(ins.empty() ? nullptr : ins.data(), static_cast<int32>(ins.size()),
                                               outs.empty() ? nullptr : outs.data(), static_cast<int32>(outs.size()));
        break;
      }
      case 9: result = component->activateBus(rng.Int(-1, 2), rng.Int(-1, 2), rng.Int(-1, 3), rng.Chance(0.5)); break;
      case 10: result = controller->setComponentHandler(rng.Chance(0.7) ? handler.get() : nullptr); break;
      case 11:
        if (IPlugView* view = controller->createView("editor")) view->release();
        break;
      case 12: {
        BusInfo bus{};
        ParameterInfo parameter{};
        component->getBusInfo(rng.Int(-1, 2), rng.Int(-1, 2), rng.Int(-1, 3), bus);
        controller->getParameterInfo(rng.Int(-2, 20), parameter);
        refusalChangesNothing = false;  // a getter: nothing to refuse
        break;
      }
      default: result = controller->setParamNormalized(ParameterId(rng), NormalisedValue(rng));
    }
    if (refusalChangesNothing && result != kResultOk && result != kResultTrue)
      verdict.Check(Take(component, controller) == before,
                    "operation " + std::to_string(op) + " answered " + std::to_string(result) + " but changed things");
  }
  component->setActive(false);
  component->terminate();
}

}  // namespace fuzz
