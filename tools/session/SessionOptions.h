#pragma once
// What a session is asked to do with a module, whoever asks: the module to host and the parameter
// values to set, as the user wrote them. The command line fills these in; the generators and tests
// build them directly.
#include <string>

namespace velmora_host {

// Which module to host, and whether its effect's trace reports are printed.
struct ModuleOptions {
  std::string path;    // empty: the module built next to the executable
  bool trace = false;  // print what the effect reports about this host to stderr
};

// One --set / --set-norm: a parameter named by title or id, and the value as the user wrote it.
struct ParamAssignment {
  std::string target;       // a title, a decimal id, or a 0x hexadecimal id
  double value = 0.0;       // the value, when it is a number
  bool normalised = false;  // --set-norm: value in [0, 1]; --set: a step (or plain value)
  std::string where;        // the option as typed ("--set Ratio=3"), for error messages
  std::string text;         // the value as typed; for --set also a step's meaning ("-24dB", "4:1")
  bool numeric = true;      // whether the value is a number
};

}  // namespace velmora_host
