#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace langdb {

// Exit statuses of orvane-langdb.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1; // bad input or a failed write
inline constexpr int ExitUsage = 2;   // unknown command or wrong arguments

// Runs "orvane-langdb <command> ..." with the arguments after the program name and returns the exit
// status. Results go to out, messages and progress to err; progress is shown by default only when
// err is a terminal.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal = false);

} // namespace langdb
