#pragma once
// Turns the command line's NAME_OR_ID=STEP assignments into parameter steps of the plug-in: a
// parameter is named by its title in any case or by its index, and the step must be a whole
// number within the parameter's range.

#include "tools/velmora-snapshot/SnapshotOptions.h"

#include <string>
#include <vector>

class IPlugBase;

struct ParameterStep {
  int paramIdx;
  int step;
};

// False with a one-line reason in *error naming the offending assignment.
bool ResolveParameterSteps(const IPlugBase& plugin, const std::vector<StepAssignment>& assignments,
                           std::vector<ParameterStep>* steps, std::string* error);

// One line per parameter: id, title, step range and default.
std::string DescribeParameters(const IPlugBase& plugin);
