// trisk-tool's solver commands: solve, hint and survey.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace trisk {

// args[0] is the command word ("solve", "hint" or "survey"), the rest its
// arguments. Exit status: 0 winnable (and for survey: done), 1 not winnable,
// 3 undetermined, 2 a bad argument or a file that cannot be read.
int RunSolveCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The lines of trisk-tool's usage text that describe these commands.
extern const char* const kSolveCommandUsage;

}  // namespace trisk
