// One file written as "set" and "set --from" write it: the plug-in loads
// the file, calsvar reads the header itself, the values go through one
// SetVariables, are read back and held against a forecast of the saved
// header (write_plan.h), the forecast against what other readers need
// (save_effects.h), and only then does the plug-in's Save run; what it
// wrote is read back and held against the forecast.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cals/header_platform.h"
#include "host_interfaces_h.h"
#include "tools/calsvar/cli/command_line.h"
#include "tools/calsvar/configuration/remembered_settings.h"
#include "tools/calsvar/output/console.h"
#include "tools/calsvar/plugin/plugin_connection.h"
#include "tools/calsvar/writing/save_effects.h"
#include "tools/calsvar/writing/write_plan.h"

namespace calsvar {

enum class WriteStatus { kSaved, kUnchanged, kRefused, kFailed, kWouldSave };

// "saved", "unchanged", "refused", "failed", "would-save".
const char* StatusWord(WriteStatus status);

struct FileWriteOutcome {
  WriteStatus status = WriteStatus::kFailed;
  WritePlan plan;       // empty when the file was refused or failed as a whole
  std::string message;  // why, when refused as a whole or failed (UTF-8, without the path)
  HRESULT code = S_OK;  // of a failed load or save
  bool loaded = false;  // the plug-in loaded the file
  bool written = false; // the plug-in's Save wrote the file
  // The records the save rewrites (or would), and what calsvar check
  // would newly find in the saved header that does not stop the save.
  std::vector<RecordChange> records;
  std::vector<cals::conformance::Finding> findingsAdded;
};

struct WriteSettings {
  std::int32_t dateStyle = 0;
  bool dryRun = false;
  bool force = false;
  bool allowControl = false;
  bool skipUnchanged = false;
  // Of the DLL that saves (empty: unknown), named when what it wrote is
  // not what calsvar's own copy of the core foresaw.
  std::string pluginVersion;
};

// The settings of a write run as the command line gives them. When the
// plug-in that will save is of another version than calsvar, says so once
// on stderr before anything is written.
WriteSettings WriteSettingsFor(const Invocation& inv, const PluginConnection& plugin, Console& console);

class FileWriter {
 public:
  FileWriter(IOrvFileFormat* format, const WriteSettings& settings);
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  FileWriteOutcome Write(const std::wstring& path, const std::vector<Assignment>& values);

 private:
  IOrvFileFormat* format_;
  WriteSettings settings_;
  // The forecast asks the configuration through calsvar's own store, which
  // asks the file again whenever it changes, as the plug-in's does.
  RememberedInstallation installation_;
  cals::HeaderPlatform platform_;
};

}  // namespace calsvar
