#pragma once
// The host context handed to a plug-in's initialize: it names the host and creates the message
// and attribute-list objects plug-ins may ask for.

#include "tools/vst3host/RefCounted.h"

#include "pluginterfaces/vst/ivsthostapplication.h"

#include <string>

namespace vst3host {

class HostApplication : public RefCounted<Steinberg::Vst::IHostApplication> {
public:
  explicit HostApplication(std::string name = "Velmora Test Host") : mName(std::move(name)) {}

  // The name widened character by character, at most 127 characters.
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID interfaceId, void** obj) override;

private:
  std::string mName;
};

}  // namespace vst3host
