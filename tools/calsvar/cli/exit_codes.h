// calsvar's exit codes; scripts rely on them.
#pragma once

namespace calsvar {

enum ExitCode : int {
  kExitOk = 0,          // everything found and accepted
  kExitRefused = 1,     // a name not found or refused; check-config: a section refuses its record; check: a file has an error
  kExitUsage = 2,       // the command line is wrong
  kExitLoadFailed = 3,  // a file (or the plug-in, or the configuration) could not be loaded
};

// The more serious of two outcomes.
constexpr int Worse(int a, int b) { return a > b ? a : b; }

}  // namespace calsvar
