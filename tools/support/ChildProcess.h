#pragma once
// Running a helper program to completion: spawned directly with its argument vector (no shell,
// so file names with spaces or quotes pass through untouched), no input, its standard output
// discarded and its error output kept for the report.
#include <string>
#include <vector>

namespace velmora_host {

// argv[0] is the program's path. True when the program exited with status 0; otherwise false with
// one line in `error`: the program's own first line of error output, or how it ended (exit status,
// signal) when it said nothing, or why it could not be started.
bool RunChildProcess(const std::vector<std::string>& argv, std::string* error);

}  // namespace velmora_host
