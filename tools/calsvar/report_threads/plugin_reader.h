// The variables of every file of calsvar report as the plug-in shows them,
// read as calsvar get reads them: one load through COM per file, with the
// header bytes of the drawing threads' read, on the command's own thread
// while the drawing threads work.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "host_interfaces_h.h"
#include "tools/calsvar/output/console.h"
#include "tools/calsvar/plugin/opened_file.h"
#include "tools/calsvar/report_threads/drawing_threads.h"

namespace calsvar {

class PluginReader {
 public:
  PluginReader(const std::vector<std::wstring>& files, DrawingThreads& drawing);

  // Reads every file through `format`, showing progress on `console`.
  void Run(IOrvFileFormat* format, Console& console);

  // After Run: what the plug-in showed of file i, and how its load ended.
  std::vector<VariableValue> Values(std::size_t i) const;
  HRESULT Result(std::size_t i) const { return files_[i].result; }

 private:
  // Each file's place in packed_, which holds the values found of all
  // files, each name and value after its length. Small blocks kept per
  // file, while each load and check allocate and free larger ones, leave
  // holes that Wine's first-fit heap walks on every later allocation:
  // over 10,000 files that walk took half of this thread's time.
  struct File {
    std::size_t begin = 0;
    std::size_t end = 0;
    HRESULT result = S_OK;
  };

  void Append(const std::wstring& text);
  std::wstring Take(std::size_t& at) const;

  const std::vector<std::wstring>& paths_;
  DrawingThreads& drawing_;
  std::vector<File> files_;
  std::wstring packed_;
};

}  // namespace calsvar
