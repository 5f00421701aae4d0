#pragma once
// The fuzz campaigns. Each runs one seeded, bounded case against fresh instances and records the
// first broken rule in the verdict; a sanitizer report or a crash ends the program instead.

#include "tests/fuzz/FuzzHost.h"

namespace fuzz {

struct Campaign {
  const char* name;
  void (*run)(Rng& rng, Verdict& verdict);
};

// Mutated and random state streams through the component, the controller and the controller's
// copy of the component state.
void StateStreams(Rng& rng, Verdict& verdict);
// Random parameter queues in process and random controller calls, hostile values included.
void ParameterQueues(Rng& rng, Verdict& verdict);
// Hostile samples on the main and sidechain inputs, 32- and 64-bit, beside an untouched twin.
void HostileSamples(Rng& rng, Verdict& verdict);
// Block lengths of 0, 1, odd, the maximum and beyond it.
void BlockSizes(Rng& rng, Verdict& verdict);
// Lifecycle calls in random order, from before initialise to after terminate.
void LifecycleOrders(Rng& rng, Verdict& verdict);
// Bus arrangements, activations and host buffers of every shape between blocks.
void BusChanges(Rng& rng, Verdict& verdict);

inline constexpr Campaign kCampaigns[] = {
    {"state", StateStreams}, {"parameters", ParameterQueues}, {"samples", HostileSamples},
    {"blocks", BlockSizes},  {"lifecycle", LifecycleOrders},  {"buses", BusChanges},
};

}  // namespace fuzz
