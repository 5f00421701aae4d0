#include "tools/session/ParameterLookup.h"

#include "plugin/VelmoraStepTexts.h"

#include <strings.h>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace velmora_host {

using namespace Steinberg;

namespace {

bool ParseId(const std::string& text, Vst::ParamID& id) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || end != text.c_str() + text.size() || value > 0xFFFFFFFFull) return false;
  id = static_cast<Vst::ParamID>(value);
  return true;
}

const vst3host::ParameterDescription* FindParameter(const std::vector<vst3host::ParameterDescription>& parameters,
                                                    const ParamAssignment& assignment, std::string* error) {
  Vst::ParamID id = 0;
  if (ParseId(assignment.target, id))
    for (const vst3host::ParameterDescription& p : parameters)
      if (p.id == id) return &p;

  // Exact titles first; case only matters when it tells two parameters apart.
  for (const bool exact : {true, false}) {
    std::vector<const vst3host::ParameterDescription*> matches;
    for (const vst3host::ParameterDescription& p : parameters)
      if (exact ? p.title == assignment.target : strcasecmp(p.title.c_str(), assignment.target.c_str()) == 0)
        matches.push_back(&p);
    if (matches.size() == 1) return matches.front();
    if (matches.size() > 1) {
      std::string ids;
      for (const vst3host::ParameterDescription* p : matches) ids += (ids.empty() ? "" : ", ") + std::to_string(p->id);
      *error = assignment.where + ": parameter title '" + assignment.target + "' is shared by ids " + ids +
               "; name the parameter by id";
      return nullptr;
    }
  }
  *error =
      assignment.where + ": unknown parameter '" + assignment.target + "' (velmora-host list shows the titles and ids)";
  return nullptr;
}

}  // namespace

std::optional<ParameterValue> ResolveAssignment(const vst3host::Instance& instance,
                                                const std::vector<vst3host::ParameterDescription>& parameters,
                                                const ParamAssignment& assignment, std::string* error, bool velmora) {
  const vst3host::ParameterDescription* found = FindParameter(parameters, assignment, error);
  if (!found) return std::nullopt;
  const vst3host::ParameterDescription& p = *found;
  const std::string& where = assignment.where;
  ParameterValue result;
  result.id = p.id;
  const bool hasMeanings = velmora && p.id < static_cast<Vst::ParamID>(kNumParams) && p.stepCount > 0;
  if (!assignment.normalised && hasMeanings) {
    // A step number, or what a step means, as the plug-in itself reads typed values.
    int step = 0;
    if (!VelmoraStepFromText(static_cast<int>(p.id), assignment.text.c_str(), &step)) {
      *error = where + ": '" + assignment.text + "' is no step of \"" + p.title + "\" (a step from 0 to " +
               std::to_string(p.stepCount) + ", or a value velmora-host list shows)";
      return std::nullopt;
    }
    result.normalized = static_cast<double>(step) / p.stepCount;
    return result;
  }
  if (!assignment.numeric) {
    *error = where + ": '" + assignment.text + "' is not a number";
    return std::nullopt;
  }
  if (assignment.normalised) {
    result.normalized = assignment.value;
  } else if (p.stepCount > 0) {
    const double step = assignment.value;
    if (step != std::floor(step) || step < 0 || step > p.stepCount) {
      *error = where + ": \"" + p.title + "\" takes a whole step from 0 to " + std::to_string(p.stepCount);
      return std::nullopt;
    }
    result.normalized = step / p.stepCount;
  } else {
    // A continuous parameter: the value is a plain value in the plug-in's own units.
    result.normalized = instance.Controller()->plainParamToNormalized(p.id, assignment.value);
    if (!(result.normalized >= 0.0 && result.normalized <= 1.0)) {
      *error = where + ": value lies outside the range of \"" + p.title + "\"";
      return std::nullopt;
    }
  }
  return result;
}

}  // namespace velmora_host
