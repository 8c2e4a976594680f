// What get and set share: opening a file through the plug-in, reading
// variables through it, and the files to work on.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "host_interfaces_h.h"
#include "module/com_ptr.h"
#include "tools/calsvar/command_line.h"
#include "tools/calsvar/console.h"
#include "tools/calsvar/file_arguments.h"

namespace calsvar {

// OpenFile on the format object; on failure the result is null and `hr`
// tells why.
ComPtr<IOrvFileNavigator> OpenThroughPlugin(IOrvFileFormat* format, const std::wstring& path, HRESULT& hr);

struct VariableValue {
  std::wstring name;
  bool found = false;
  std::wstring value;
};

// One GetVariables call with one "CALS" item per name. Throws
// std::bad_alloc when the item strings cannot be allocated.
HRESULT ReadVariables(IOrvFileNavigator* file, const std::vector<std::wstring>& names,
                      std::vector<VariableValue>& values);

// The CALS files named by the operands, with the format's own extension
// list for folders.
FileArguments CalsFilesOf(IOrvFileFormat* format, const std::vector<std::u16string>& operands);

// Reports a file that the plug-in could not open: message on stderr, and
// with --json an error line on stdout.
void ReportLoadFailure(const Invocation& inv, Console& console, const std::wstring& path, HRESULT hr);

// "== FILE" before each file's lines when more than one file is shown.
void ShowFileHeading(const Invocation& inv, const FileArguments& files, Console& console, std::size_t index);

}  // namespace calsvar
