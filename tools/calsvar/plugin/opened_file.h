// What get and set share: the files to work on, opening them through the
// plug-in, and reading variables through it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host_interfaces_h.h"
#include "com/com_ptr.h"
#include "tools/calsvar/cli/command_line.h"
#include "tools/calsvar/output/console.h"

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

// Reports a file that the plug-in could not open: message on stderr, and
// with --json an error line on stdout, naming the file as `jsonFile`
// (empty: as `path`).
void ReportLoadFailure(const Invocation& inv, Console& console, const std::wstring& path, HRESULT hr,
                       std::u16string_view jsonFile = {});

// Says that the operands name no CALS file, with the folders and the
// extensions looked for; gives kExitLoadFailed.
int ReportNoCalsFiles(const std::vector<std::u16string>& operands, std::u16string_view extensions, Console& console);

// What get and set do with one file; gives its exit code.
using FileWork = std::function<int(const std::wstring& path)>;

// The CALS files the operands name (folders through the format's own
// extension list, without following links), each handed to `work`, with a
// "== FILE" line before each when more than one file is shown as text,
// and a progress line on a terminal beyond 200 files. No file at all is
// reported, naming the folders and the extensions, and gives
// kExitLoadFailed. The worst exit code of all files. `folderOrSeveral`,
// when given, is set when the operands named a folder or several files.
int ForEachCalsFile(const Invocation& inv, IOrvFileFormat* format, Console& console, const FileWork& work,
                    bool* folderOrSeveral = nullptr);

}  // namespace calsvar
