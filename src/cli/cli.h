#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kestrova::cli {

// Exit statuses of kestrova-cli.
inline constexpr int kExitOk = 0;
inline constexpr int kExitProblem = 1;
inline constexpr int kExitUsage = 2;

// Runs kestrova-cli with its arguments (without the program name).
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kestrova::cli
