#include "tools/calsvar/cli/command_line.h"

#include <charconv>
#include <limits>
#include <string_view>

#include "cals/utf8.h"
#include "tools/calsvar/cli/date_style_help.h"
#include "tools/calsvar/cli/iso_date.h"

namespace calsvar {
namespace {

constexpr std::u16string_view kDateSuffix = u"@date";

ParsedCommandLine Fail(std::string message) { return ParsedCommandLine{std::nullopt, std::move(message)}; }

std::optional<Command> CommandNamed(std::u16string_view word) {
  if (word == u"info") return Command::kInfo;
  if (word == u"get") return Command::kGet;
  if (word == u"set") return Command::kSet;
  if (word == u"check-config") return Command::kCheckConfig;
  if (word == u"register") return Command::kRegister;
  if (word == u"unregister") return Command::kUnregister;
  if (word == u"help") return Command::kHelp;
  if (word == u"check") return Command::kCheck;
  if (word == u"doctor") return Command::kDoctor;
  return std::nullopt;
}

std::optional<std::int32_t> ParseInt32(std::u16string_view text) {
  std::string ascii;
  for (char16_t c : text) {
    if (c > 0x7F) return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  std::int32_t value = 0;
  const char* end = ascii.data() + ascii.size();
  const auto [ptr, ec] = std::from_chars(ascii.data(), end, value);
  if (ascii.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<Assignment> ParseAssignment(std::u16string_view operand, std::string& error) {
  const std::size_t equals = operand.find(u'=');
  if (equals == std::u16string_view::npos || equals == 0) {
    error = "expected NAME=VALUE, got \"" + cals::ToUtf8(operand) + "\"";
    return std::nullopt;
  }
  Assignment assignment;
  std::u16string_view name = operand.substr(0, equals);
  assignment.text = std::u16string(operand.substr(equals + 1));
  if (name.size() > kDateSuffix.size() && name.substr(name.size() - kDateSuffix.size()) == kDateSuffix) {
    name.remove_suffix(kDateSuffix.size());
    assignment.date = ParseIsoDate(assignment.text);
    if (!assignment.date) {
      const auto year = ParseInt32(std::u16string_view(assignment.text).substr(0, 4));
      error = "\"" + cals::ToUtf8(assignment.text) + "\" " +
              (year && *year < 100 && assignment.text.size() > 4 && assignment.text[4] == u'-'
                   ? "is outside the dates that can be given: the year must be 100 to 9999"
                   : "is not a date of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS");
      return std::nullopt;
    }
  }
  assignment.name = std::u16string(name);
  return assignment;
}

// Splits "--option=value" into its two parts.
std::pair<std::u16string_view, std::optional<std::u16string_view>> SplitOption(std::u16string_view arg) {
  const std::size_t equals = arg.find(u'=');
  if (equals == std::u16string_view::npos) return {arg, std::nullopt};
  return {arg.substr(0, equals), arg.substr(equals + 1)};
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::u16string>& args) {
  Invocation inv;
  std::optional<Command> command;
  std::vector<std::u16string> operands;
  bool optionsEnded = false;
  bool separatorGiven = false;

  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::u16string_view arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != u'-') {
      if (!command) {
        command = CommandNamed(arg);
        if (!command) return Fail("unknown command \"" + cals::ToUtf8(arg) + "\"");
      } else {
        operands.emplace_back(arg);
      }
      continue;
    }
    if (arg == u"--") {
      optionsEnded = true;
      continue;
    }
    const auto split = SplitOption(arg);
    const std::u16string_view option = split.first;
    const std::optional<std::u16string_view> inlineValue = split.second;
    const auto takeValue = [&]() -> std::optional<std::u16string> {
      if (inlineValue) return std::u16string(*inlineValue);
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (option == u"--help" || option == u"-h") {
      command = Command::kHelp;
    } else if (option == u"--version" && !inlineValue) {
      command = Command::kVersion;
    } else if (option == u"--json" && !inlineValue) {
      inv.json = true;
    } else if (option == u"--csv" && !inlineValue) {
      inv.csv = true;
    } else if (option == u"--csv-separator") {
      const auto value = takeValue();
      if (!value || (*value != u"," && *value != u";" && *value != u"\t" && *value != u"tab")) {
        return Fail("--csv-separator needs \",\", \";\" or tab");
      }
      inv.csvSeparator = *value == u"tab" ? u'\t' : (*value)[0];
      separatorGiven = true;
    } else if (option == u"--dry-run" && !inlineValue) {
      inv.dryRun = true;
    } else if (option == u"--force" && !inlineValue) {
      inv.force = true;
    } else if (option == u"--allow-control" && !inlineValue) {
      inv.allowControl = true;
    } else if (option == u"--from") {
      auto value = takeValue();
      if (!value || value->empty()) return Fail("--from needs a table file, or - for standard input");
      inv.fromTable = std::move(*value);
    } else if (option == u"--dll") {
      auto value = takeValue();
      if (!value || value->empty()) return Fail("--dll needs the path of the plug-in DLL");
      inv.dll = std::move(*value);
    } else if (option == u"--name") {
      auto value = takeValue();
      if (!value || value->empty()) return Fail("--name needs a variable name");
      inv.names.push_back(std::move(*value));
    } else if (option == u"--date-style") {
      auto value = takeValue();
      auto style = value ? ParseInt32(*value) : std::nullopt;
      if (!style) return Fail("--date-style needs a whole number, e.g. --date-style 103");
      if (!IsListedDateStyle(*style)) {
        return Fail("--date-style " + std::to_string(*style) + " is not one of the date styles listed by --help");
      }
      inv.dateStyle = *style;
    } else {
      return Fail("unknown option \"" + cals::ToUtf8(arg) + "\"");
    }
  }

  inv.command = command.value_or(Command::kHelp);
  const bool namesAllowed = inv.command == Command::kGet;
  if (!inv.names.empty() && !namesAllowed) return Fail("--name belongs to the get command");
  if (inv.dateStyle != 0 && inv.command != Command::kSet) return Fail("--date-style belongs to the set command");
  if (inv.csv && inv.command != Command::kGet) return Fail("--csv belongs to the get command");
  if (inv.csv && inv.json) return Fail("--csv and --json cannot be used together");
  if (separatorGiven && !inv.csv) return Fail("--csv-separator belongs to get --csv");
  const bool writeOptions = inv.dryRun || inv.force || inv.allowControl || inv.fromTable;
  if (writeOptions && inv.command != Command::kSet) {
    return Fail("--dry-run, --force, --allow-control and --from belong to the set command");
  }
  if (inv.fromTable && inv.dateStyle != 0) return Fail("--date-style has no use with --from: table values are text");

  switch (inv.command) {
    case Command::kHelp:
      break;
    case Command::kInfo:
    case Command::kRegister:
    case Command::kUnregister:
    case Command::kVersion:
    case Command::kDoctor:
      if (!operands.empty()) return Fail("this command takes no file or value: \"" + cals::ToUtf8(operands[0]) + "\"");
      break;
    case Command::kGet:
      if (operands.empty()) return Fail("get needs at least one CALS file or folder");
      inv.files = std::move(operands);
      break;
    case Command::kSet: {
      if (inv.fromTable) {
        if (!operands.empty()) {
          return Fail("set --from takes its files and values from the table, not \"" + cals::ToUtf8(operands[0]) + "\"");
        }
        break;
      }
      if (operands.size() < 2) return Fail("set needs a CALS file or folder and at least one NAME=VALUE");
      inv.files.push_back(operands[0]);
      for (std::size_t i = 1; i < operands.size(); ++i) {
        std::string error;
        auto assignment = ParseAssignment(operands[i], error);
        if (!assignment) return Fail(error);
        inv.assignments.push_back(std::move(*assignment));
      }
      break;
    }
    case Command::kCheck:
      if (operands.empty()) return Fail("check needs at least one CALS file or folder");
      inv.files = std::move(operands);
      break;
    case Command::kCheckConfig:
      if (operands.size() > 1) return Fail("check-config takes at most one configuration file");
      if (!operands.empty()) inv.configFile = operands[0];
      break;
  }
  return ParsedCommandLine{std::move(inv), {}};
}

std::string UsageText(unsigned codePage) {
  const std::string page = codePage == 0 ? "" : " (here: " + std::to_string(codePage) + ")";
  return "usage:\n"
         "  calsvar info [--json]\n"
         "      the format's description, extensions and extension groups\n"
         "  calsvar get [--json | --csv [--csv-separator SEP]] FILE... [--name NAME]...\n"
         "      the variables the host sees (all of them, or the names given); one line NAME<TAB>VALUE each,\n"
         "      with \\, tab, CR and LF shown as \\\\, \\t, \\r, \\n and other control characters as \\xHH;\n"
         "      --csv: one table of all files, each named by its full path, cells separated by SEP (\",\",\n"
         "      \";\" or tab; default \",\"); a cell that begins with =, +, -, @, tab, CR or ' gets a leading '\n"
         "      so that spreadsheets show it as text; a file that does not look like a CALS header has only\n"
         "      its path in the table\n"
         "  calsvar set [--json] [--dry-run] [--force] [--allow-control] [--date-style N]\n"
         "              FILE NAME=VALUE... [NAME@date=YYYY-MM-DD[THH:MM:SS]]...\n"
         "      writes the values and saves the header, only when every value reaches the file exactly as\n"
         "      asked (an empty value is stored as NONE) and the save adds nothing that readers refuse;\n"
         "      otherwise nothing is written; each header record the save rewrites is shown; a folder ends\n"
         "      with the summary line of set --from\n"
         "  calsvar set --from TABLE [--json] [--dry-run] [--force] [--allow-control]\n"
         "      the same for many files: TABLE is a CSV as get --csv writes it (separated by \",\", \";\" or\n"
         "      tab, whichever gives its header line a \"file\" column), or JSON lines as get --json writes\n"
         "      them, or - for standard input; get names every file by its full path, and a relative path\n"
         "      in a table written by hand is taken against the table's folder; one leading ' is taken off\n"
         "      each cell; an empty cell, the file's own value and its number without leading zeros change\n"
         "      nothing; a table that names one file twice, under any spelling, is refused whole\n"
         "  calsvar check-config [--json] [INI]\n"
         "      checks the tag configuration (default: the installed one)\n"
         "  calsvar check [--json] FILE...\n"
         "      is each file a well-formed CALS Type 1 file? its header and its whole raster\n"
         "  calsvar register | unregister\n"
         "      runs the plug-in DLL's own registration\n"
         "  calsvar --version\n"
         "      the versions of calsvar and of the plug-in DLL it uses, and that DLL's path; exit 3 when no\n"
         "      plug-in is registered or the DLL cannot be read\n"
         "  calsvar doctor [--json] [--dll PATH]\n"
         "      checks the whole installation as the host meets it (registration, type library, the DLL,\n"
         "      \"SharedLocation\" and the tag configuration, a round trip on a temporary copy of a sample,\n"
         "      the code pages): one line ok|warning|error<TAB>what<TAB>what was found and the fix per\n"
         "      check; --dll: the DLL that should be registered (default: mirotex.dll beside calsvar.exe).\n"
         "      Run it first when the host shows no variables\n"
         "options:\n"
         "  --dll PATH       use this plug-in DLL directly instead of the registered one\n"
         "  --dry-run        check everything and show NAME<TAB>old<TAB>new and the records a save would\n"
         "                   rewrite, but change no byte\n"
         "  --force          write also into a file that does not look like a CALS header, a new picture\n"
         "                   size, or a header that other readers refuse\n"
         "  --allow-control  let values hold control characters (tabs, line breaks)\n"
         "  -h, --help       this text\n"
         "FILE may be a folder: its files with the format's extensions, in all subfolders; links and\n"
         "junctions (reparse points) to folders are not followed, as find does not follow them.\n"
         "Header text is read and written in the Windows ANSI code page" + page + "; set refuses\n"
         "characters it cannot hold.\n"
         "Run through ./calsvar (under Wine):\n"
         "  --shared-folder DIR   the host's shared installation folder, which holds\n"
         "                        FileFormats/Mirotex.ini (default: samples/install)\n"
         "  CALSVAR_SHARED        the same as --shared-folder\n"
         "  CALSVAR_BUILD_DIR     the windows build tree (default: build/windows)\n"
         "  CALSVAR_PREFIX        the Wine prefix (default: <build tree>/calsvar-prefix)\n"
         "  CALSVAR_NO_BUILD=1    use what is built; do not install or build\n" +
         DateStyleHelp() +
         "exit codes:\n"
         "  0  all found and accepted (set: saved, or nothing to change)\n"
         "  1  a name not found, or a value refused (set: nothing written to that file);\n"
         "     check-config: a section would make loads fail; check: a file has an error; doctor: a check\n"
         "     found an error\n"
         "  2  usage error, including a --shared-folder that does not exist and a table that cannot be used\n"
         "  3  a file could not be loaded or saved, no CALS file was found, or --version found no plug-in\n";
}

}  // namespace calsvar
