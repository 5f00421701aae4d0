#pragma once
// The host context handed to a plug-in's initialize: it names the host and creates the message
// and attribute-list objects plug-ins may ask for. Given a trace receiver it also offers the
// IHostTraceSink extension, so a plug-in built on our binding tells it about the host contract
// breaches it absorbed; without one it does not answer for that interface at all.

#include "framework/vst3/IHostTraceSink.h"
#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <functional>
#include <string>

namespace vst3host {

class HostApplication : public RefCounted<Steinberg::Vst::IHostApplication, IHostTraceSink> {
public:
  // One trace report of a plug-in: operation, source line, message. Runs on the thread the plug-in
  // reported from, the audio thread included.
  using TraceReceiver = std::function<void(const char* operation, int line, const char* message)>;

  explicit HostApplication(std::string name = "Velmora Test Host", TraceReceiver traces = nullptr)
      : mName(std::move(name)), mTraces(std::move(traces)) {}

  // What initialize() takes: the object as its FUnknown (it has two interface bases).
  Steinberg::FUnknown* Context() { return static_cast<Steinberg::Vst::IHostApplication*>(this); }

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID queried, void** obj) override;
  // The name widened character by character, at most 127 characters.
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID interfaceId, void** obj) override;
  void PLUGIN_API trace(Steinberg::FIDString operation, Steinberg::int32 line, Steinberg::FIDString message) override;

private:
  std::string mName;
  TraceReceiver mTraces;
};

}  // namespace vst3host
