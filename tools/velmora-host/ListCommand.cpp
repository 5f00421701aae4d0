// `list`: what a host learns about a module before using it.
#include "tools/velmora-host/Commands.h"

#include "tools/session/PluginModule.h"
#include "tools/session/VelmoraMeanings.h"
#include "tools/support/HostError.h"
#include "tools/support/JsonText.h"
#include "tools/velmora-host/StepTable.h"
#include "tools/vst3host/ClassIdText.h"
#include "tools/vst3host/Instance.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include "plugin/VelmoraSteps.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace velmora_host {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

std::string Speakers(SpeakerArrangement arrangement) {
  static const std::pair<Speaker, const char*> kNames[] = {{kSpeakerL, "L"},     {kSpeakerR, "R"},   {kSpeakerC, "C"},
                                                           {kSpeakerLfe, "Lfe"}, {kSpeakerLs, "Ls"}, {kSpeakerRs, "Rs"},
                                                           {kSpeakerCs, "Cs"},   {kSpeakerM, "M"}};
  std::string text;
  for (const auto& [bit, name] : kNames)
    if (arrangement & bit) text += (text.empty() ? "" : " ") + std::string(name);
  return text.empty() ? "-" : text;
}

// Four-character ids such as 'bpas' read better as text than as a nine-digit number.
std::string IdText(ParamID id) {
  char text[32];
  const char c[4] = {static_cast<char>(id >> 24), static_cast<char>(id >> 16), static_cast<char>(id >> 8),
                     static_cast<char>(id)};
  bool printable = id > 0xFFFFFF;
  for (char ch : c) printable = printable && ch >= 0x20 && ch < 0x7F;
  if (printable)
    std::snprintf(text, sizeof text, "%u '%c%c%c%c'", id, c[0], c[1], c[2], c[3]);
  else
    std::snprintf(text, sizeof text, "%u", id);
  return text;
}

void PrintBuses(const char* direction, const std::vector<vst3host::BusDescription>& buses) {
  for (const vst3host::BusDescription& bus : buses)
    std::printf("  %-6s %d  %-16s %-4s  %d ch (%s), %s by default\n", direction, bus.index,
                ("\"" + bus.name + "\"").c_str(), bus.aux ? "aux" : "main", bus.channels,
                Speakers(bus.arrangement).c_str(), bus.defaultActive ? "active" : "inactive");
}

// Every step and what it means, as `render --set` reads them back ("Ratio=4:1").
Json StepTableJson(ParamID id) {
  const std::vector<StepEntry> table = VelmoraStepTable(static_cast<int>(id));
  if (table.empty()) return nullptr;
  Json steps = Json::array();
  for (const StepEntry& s : table)
    steps.push_back({{"step", s.step}, {"text", s.text}, {"note", s.note.empty() ? Json(nullptr) : Json(s.note)}});
  return steps;
}

// The same as text: a block per parameter, its steps in rows.
void PrintStepTables(const std::vector<vst3host::ParameterDescription>& parameters) {
  std::printf("\nsteps (render --set takes a step's number or what it means: --set \"Ratio=4:1\")\n");
  for (const vst3host::ParameterDescription& p : parameters) {
    const std::vector<StepEntry> table = VelmoraStepTable(p.id < kNumParams ? static_cast<int>(p.id) : -1);
    if (table.empty()) continue;
    std::string line = "  " + p.title + std::string(p.title.size() < 25 ? 25 - p.title.size() : 1, ' ');
    const std::size_t indent = line.size();
    bool first = true;
    for (const StepEntry& s : table) {
      const std::string cell = std::to_string(s.step) + " " + s.text + (s.note.empty() ? "" : " (" + s.note + ")");
      if (!first && line.size() + 3 + cell.size() > 100) {
        std::printf("%s\n", line.c_str());
        line = std::string(indent, ' ');
        first = true;
      }
      line += (first ? "" : " | ") + cell;
      first = false;
    }
    std::printf("%s\n", line.c_str());
  }
}

}  // namespace

int RunList(const HostSetup& setup) {
  std::string error;
  const std::unique_ptr<PluginModule> opened = OrThrow(PluginModule::Open(setup.module, &error), error);
  const PluginModule& module = *opened;
  const FactoryDescription& factory = module.FactoryInfo();
  const ClassDescription& effect = *OrThrow(module.EffectClass(&error), error);
  const std::unique_ptr<vst3host::Instance> created = OrThrow(module.CreateEffect(nullptr, &error), error);
  const vst3host::Instance& instance = *created;
  const bool velmora = std::memcmp(effect.cid, kVelmoraClassId.data(), kVelmoraClassId.size()) == 0;
  const std::vector<vst3host::BusDescription> inputs = instance.AudioBuses(kInput);
  const std::vector<vst3host::BusDescription> outputs = instance.AudioBuses(kOutput);
  const uint32 latency = instance.Processor()->getLatencySamples();
  const uint32 tail = instance.Processor()->getTailSamples();

  // What the host reads about every parameter, for either form of the listing.
  struct Listed {
    const vst3host::ParameterDescription* p;
    double current;
    std::string text, defaultText, meaning;
  };
  const std::vector<vst3host::ParameterDescription> parameters = instance.Parameters();
  std::vector<Listed> listed;
  for (const vst3host::ParameterDescription& p : parameters) {
    Listed l{&p, instance.Controller()->getParamNormalized(p.id), {}, {}, {}};
    l.text = instance.DisplayText(p.id, l.current);
    if (velmora && p.stepCount > 0) l.meaning = VelmoraStepMeaning(static_cast<int>(p.id), l.current, l.text);
    if (l.text.empty()) {
      // Some parameters (Velmora's "Preset" and "Bypass") have no text; show the value itself.
      char value[32];
      std::snprintf(value, sizeof value, "%.4f", l.current);
      l.text = value;
    } else if (!p.units.empty()) {
      l.text += " " + p.units;
    }
    char defaultText[32];
    if (p.stepCount > 0)
      std::snprintf(defaultText, sizeof defaultText, "%ld", std::lround(p.defaultNormalized * p.stepCount));
    else
      std::snprintf(defaultText, sizeof defaultText, "%.4f", p.defaultNormalized);
    l.defaultText = defaultText;
    listed.push_back(l);
  }

  // Class ids as the factory's 16 bytes in order, the same text on every platform (hosts on
  // Windows write the COM order in file names; ClassIdText.h).
  if (setup.json) {
    Json classes = Json::array();
    for (const ClassDescription& c : module.Classes()) {
      Json entry{{"name", c.name},
                 {"category", c.category},
                 {"id", vst3host::ClassIdTextInOrder(c.cid, false)},
                 {"cardinality", c.cardinality}};
      // What only a factory's extended class information says: null from a factory without it.
      auto extended = [&](Json value) { return c.hasExtendedInfo ? value : Json(nullptr); };
      entry["sub_categories"] = extended(c.subCategories);
      entry["version"] = extended(c.version);
      entry["sdk_version"] = extended(c.sdkVersion);
      entry["vendor"] = extended(c.vendor);
      entry["class_flags"] = extended(c.classFlags);
      classes.push_back(entry);
    }
    auto buses = [](const std::vector<vst3host::BusDescription>& list) {
      Json out = Json::array();
      for (const vst3host::BusDescription& bus : list)
        out.push_back({{"index", bus.index},
                       {"name", bus.name},
                       {"type", bus.aux ? "aux" : "main"},
                       {"channels", bus.channels},
                       {"speakers", Speakers(bus.arrangement)},
                       {"default_active", bus.defaultActive}});
      return out;
    };
    Json params = Json::array();
    for (const Listed& l : listed) {
      Json entry{{"id", l.p->id},
                 {"title", l.p->title},
                 {"units", l.p->units},
                 {"steps", l.p->stepCount},
                 {"default_normalized", Rounded(l.p->defaultNormalized)},
                 {"normalized", Rounded(l.current)},
                 {"display", l.text}};
      entry["meaning"] = l.meaning.empty() ? Json(nullptr) : Json(l.meaning);
      entry["step_table"] = velmora ? StepTableJson(l.p->id) : Json(nullptr);
      params.push_back(entry);
    }
    const Json document{
        {"module", module.LibraryPath()},
        {"factory",
         {{"vendor", factory.vendor}, {"url", factory.url}, {"email", factory.email}, {"flags", factory.flags}}},
        {"classes", classes},
        {"effect",
         {{"name", effect.name},
          {"single_component", instance.IsSingleComponent()},
          {"inputs", buses(inputs)},
          {"outputs", buses(outputs)},
          {"latency_samples", latency},
          {"tail_samples", tail},
          {"parameters", params}}}};
    std::fputs(JsonText(document).c_str(), stdout);
    return 0;
  }

  std::printf("module   %s\n", module.LibraryPath().c_str());
  std::printf("factory  vendor \"%s\", url \"%s\", e-mail \"%s\", flags 0x%X\n", factory.vendor.c_str(),
              factory.url.c_str(), factory.email.c_str(), static_cast<unsigned>(factory.flags));
  std::printf("classes  %zu\n", module.Classes().size());
  for (std::size_t i = 0; i < module.Classes().size(); ++i) {
    const ClassDescription& c = module.Classes()[i];
    std::printf("  %zu  \"%s\"  category \"%s\"", i, c.name.c_str(), c.category.c_str());
    if (c.hasExtendedInfo)
      std::printf("  sub-categories \"%s\"  version \"%s\"  sdk \"%s\"  vendor \"%s\"  flags 0x%X",
                  c.subCategories.c_str(), c.version.c_str(), c.sdkVersion.c_str(), c.vendor.c_str(), c.classFlags);
    std::printf("\n     id %s  cardinality %s\n", vst3host::ClassIdTextInOrder(c.cid, false).c_str(),
                c.cardinality == PClassInfo::kManyInstances ? "many" : std::to_string(c.cardinality).c_str());
  }

  std::printf("\neffect \"%s\" (%s)\n", effect.name.c_str(),
              instance.IsSingleComponent() ? "single component" : "separate edit controller");
  std::printf("buses\n");
  PrintBuses("in", inputs);
  PrintBuses("out", outputs);
  std::printf("latency %u samples, tail %u samples\n", latency, tail);

  std::printf("\nparameters (%zu)\n", parameters.size());
  if (velmora)
    std::printf("  %-17s %-26s %5s %8s  %-14s  %s\n", "id", "title", "steps", "default", "current", "meaning");
  else
    std::printf("  %-17s %-26s %5s %8s  %s\n", "id", "title", "steps", "default", "current");
  for (const Listed& l : listed) {
    if (l.meaning.empty())
      std::printf("  %-17s %-26s %5d %8s  %s\n", IdText(l.p->id).c_str(), l.p->title.c_str(), l.p->stepCount,
                  l.defaultText.c_str(), l.text.c_str());
    else
      std::printf("  %-17s %-26s %5d %8s  %-14s  %s\n", IdText(l.p->id).c_str(), l.p->title.c_str(), l.p->stepCount,
                  l.defaultText.c_str(), l.text.c_str(), l.meaning.c_str());
  }
  if (velmora) PrintStepTables(parameters);
  return 0;
}

}  // namespace velmora_host
