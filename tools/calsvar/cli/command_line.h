// calsvar's command line: a command, its options and its operands.
//
//   calsvar [--dll PATH] info [--json]
//   calsvar [--dll PATH] get [--json | --csv [--csv-separator SEP]] FILE... [--name NAME]...
//   calsvar [--dll PATH] set [--json] [--dry-run] [--force] [--allow-control] [--date-style N]
//                            FILE NAME=VALUE... [NAME@date=YYYY-MM-DD[THH:MM:SS]]...
//   calsvar [--dll PATH] set --from TABLE [--json] [--dry-run] [--force] [--allow-control]
//   calsvar check-config [--json] [INI]
//   calsvar check [--json] FILE...
//   calsvar [--dll PATH] register | unregister
//   calsvar [--dll PATH] --version
//   calsvar doctor [--json] [--dll PATH]
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace calsvar {

enum class Command { kHelp, kInfo, kGet, kSet, kCheckConfig, kRegister, kUnregister, kCheck, kVersion, kDoctor };

// One NAME=VALUE of "set": a string, or a date given as NAME@date=...
struct Assignment {
  std::u16string name;
  std::u16string text;         // the value as given
  std::optional<double> date;  // set for NAME@date=..., as an automation date
};

struct Invocation {
  Command command = Command::kHelp;
  bool json = false;
  bool csv = false;           // get: one table
  char16_t csvSeparator = u',';  // get --csv: ",", ";" or tab
  bool dryRun = false;        // set: check, show, write nothing
  bool force = false;         // set: also into what does not look like a CALS header
  bool allowControl = false;  // set: values may hold control characters
  std::optional<std::u16string> fromTable;  // set --from: a table file, or "-" for stdin
  std::optional<std::u16string> dll;
  std::vector<std::u16string> files;  // get, set (one), check
  std::vector<std::u16string> names;  // get --name
  std::vector<Assignment> assignments;
  std::int32_t dateStyle = 0;
  std::optional<std::u16string> configFile;  // check-config
};

struct ParsedCommandLine {
  std::optional<Invocation> invocation;
  std::string error;  // UTF-8, set when invocation is empty
};

// `args` without the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::u16string>& args);

// The help. `codePage` is the ANSI code page header text is read and
// written in, 0 when unknown.
std::string UsageText(unsigned codePage = 0);

// Printed after the one line of a usage error.
inline constexpr char kSeeHelp[] = "run 'calsvar --help'";

}  // namespace calsvar
