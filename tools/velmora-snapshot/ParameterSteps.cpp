#include "tools/velmora-snapshot/ParameterSteps.h"

#include "framework/IPlugBase.h"

#include <cctype>
#include <cstdio>

namespace {

bool SameTitle(const std::string& given, const char* title) {
  size_t i = 0;
  for (; i < given.size() && title[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(given[i])) != std::tolower(static_cast<unsigned char>(title[i])))
      return false;
  return i == given.size() && !title[i];
}

// A whole number in decimal, nothing else (no sign, spaces or fraction); false when it is not
// one or does not fit.
bool ParseWhole(const std::string& text, int* value) {
  if (text.empty() || text.size() > 9) return false;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

int FindParameter(const IPlugBase& plugin, const std::string& name) {
  int id = -1;
  if (ParseWhole(name, &id)) return id < plugin.NParams() ? id : -1;
  for (int i = 0; i < plugin.NParams(); ++i)
    if (SameTitle(name, plugin.GetParam(i)->Name())) return i;
  return -1;
}

}  // namespace

bool ResolveParameterSteps(const IPlugBase& plugin, const std::vector<StepAssignment>& assignments,
                           std::vector<ParameterStep>* steps, std::string* error) {
  steps->clear();
  for (const StepAssignment& a : assignments) {
    const int idx = FindParameter(plugin, a.parameter);
    if (idx < 0) {
      *error = "no parameter \"" + a.parameter + "\" (--list shows the titles and ids)";
      return false;
    }
    const IParam* param = plugin.GetParam(idx);
    const int max = static_cast<int>(param->Max());
    int step = -1;
    if (!ParseWhole(a.step, &step) || step > max) {
      *error = "\"" + a.step + "\" is not a step of \"" + param->Name() + "\" (0.." + std::to_string(max) + ")";
      return false;
    }
    steps->push_back(ParameterStep{idx, step});
  }
  return true;
}

std::string DescribeParameters(const IPlugBase& plugin) {
  std::string text = "id  title                        steps  default\n";
  for (int i = 0; i < plugin.NParams(); ++i) {
    const IParam* p = plugin.GetParam(i);
    char line[128];
    std::snprintf(line, sizeof(line), "%2d  %-28s 0..%-3d %d\n", i, p->Name(), static_cast<int>(p->Max()),
                  static_cast<int>(p->Default()));
    text += line;
  }
  return text;
}
