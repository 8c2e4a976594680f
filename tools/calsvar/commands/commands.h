// The commands of calsvar; each returns its exit code.
#pragma once

#include "host_interfaces_h.h"
#include "tools/calsvar/cli/command_line.h"
#include "tools/calsvar/output/console.h"
#include "tools/calsvar/plugin/plugin_connection.h"

namespace calsvar {

int RunInfo(const Invocation& inv, IOrvFileFormat* format, Console& console);
int RunGet(const Invocation& inv, IOrvFileFormat* format, Console& console);
int RunSet(const Invocation& inv, const PluginConnection& plugin, Console& console);
int RunSetFrom(const Invocation& inv, const PluginConnection& plugin, Console& console);
int RunCheckConfig(const Invocation& inv, Console& console);
int RunCheck(const Invocation& inv, Console& console);
int RunRegistration(const Invocation& inv, Console& console);
int RunVersion(const Invocation& inv, Console& console);
int RunDoctor(const Invocation& inv, Console& console);

}  // namespace calsvar
