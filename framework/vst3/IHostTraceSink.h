#pragma once
// An extension interface of our own that a host application may offer through the host context it
// hands to initialize(). A plug-in built on this binding finds it there and forwards the trace
// reports it makes about its host (contract breaches it absorbed, HostBreach.h) to it, so the
// user of a misbehaving host can find out what the host did. Hosts that do not offer it lose
// nothing; the plug-in behaves the same either way.
//
// Header-only: the identifier is defined here (an inline variable), so hosts and plug-ins need no
// extra library for it.

#include "pluginterfaces/base/funknown.h"

// Interfaces have no virtual destructors by design: objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

class IHostTraceSink : public Steinberg::FUnknown {
public:
  // One report: the operation that traced (e.g. "IPlugVST3::process"), the source line, and the
  // message, both zero-terminated UTF-8. Called on whatever thread the plug-in noticed the breach,
  // the audio thread included, with the plug-in's lock held: it must return quickly, must not
  // block, and must not call back into the plug-in.
  virtual void PLUGIN_API trace(Steinberg::FIDString operation, Steinberg::int32 line,
                                Steinberg::FIDString message) = 0;

  static inline const Steinberg::FUID iid{0x6E977E0F, 0x29BF4940, 0xA3ED81BD, 0x554EA0D0};
};

#pragma GCC diagnostic pop
