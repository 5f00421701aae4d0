#include "tools/vst3host/HostApplication.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vst3host {

tresult PLUGIN_API HostApplication::queryInterface(const TUID queried, void** obj) {
  if (!mTraces && FUnknownPrivate::iidEqual(queried, IHostTraceSink::iid)) {
    if (obj) *obj = nullptr;
    return kNoInterface;
  }
  return RefCounted::queryInterface(queried, obj);
}

tresult PLUGIN_API HostApplication::getName(String128 name) {
  if (!name) return kInvalidArgument;
  size_t n = 0;
  for (; n < 127 && n < mName.size(); ++n) name[n] = static_cast<char16>(static_cast<unsigned char>(mName[n]));
  name[n] = 0;
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID cid, TUID interfaceId, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  FUnknown* created = nullptr;
  if (FUnknownPrivate::iidEqual(cid, IMessage::iid) && FUnknownPrivate::iidEqual(interfaceId, IMessage::iid))
    created = new HostMessage();
  else if (FUnknownPrivate::iidEqual(cid, IAttributeList::iid) &&
           FUnknownPrivate::iidEqual(interfaceId, IAttributeList::iid))
    created = new HostAttributeList();
  if (!created) return kNoInterface;
  *obj = created;
  return kResultOk;
}

void PLUGIN_API HostApplication::trace(FIDString operation, int32 line, FIDString message) {
  if (mTraces) mTraces(operation ? operation : "", line, message ? message : "");
}

}  // namespace vst3host
