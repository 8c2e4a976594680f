#include "tools/calsvar/report_threads/plugin_reader.h"

#include <algorithm>
#include <optional>

#include "cals/windows/windows_platform.h"
#include "tools/calsvar/configuration/remembered_settings.h"
#include "tools/calsvar/files/header_bytes.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/plugin/listed_variables.h"

namespace calsvar {

PluginReader::PluginReader(const std::vector<std::wstring>& files, DrawingThreads& drawing)
    : paths_(files), drawing_(drawing), files_(files.size()) {}

void PluginReader::Run(IOrvFileFormat* format, Console& console) {
  const cals::HeaderPlatform& own = cals::WindowsHeaderPlatform();
  RememberedInstallation installation(*own.installation);
  const cals::HeaderPlatform listing{own.codec, own.files, own.config, &installation, own.configStore};
  std::vector<VariableValue> values;
  for (std::size_t i = 0; i < paths_.size(); ++i) {
    const std::size_t shown = std::min(i, drawing_.done());
    console.ProgressStep(shown, paths_.size(), Utf8(paths_[shown]));
    std::optional<std::vector<unsigned char>> header = drawing_.TakeHeader(i);
    if (!header) header = ReadHeaderBytes(paths_[i]);
    if (!header) header.emplace();
    File& file = files_[i];
    file.result = ReadListedVariables(format, listing, paths_[i], *header, values);
    file.begin = packed_.size();
    for (const VariableValue& value : values) {
      if (!value.found) continue;
      Append(value.name);
      Append(value.value);
    }
    file.end = packed_.size();
  }
}

std::vector<VariableValue> PluginReader::Values(std::size_t i) const {
  std::vector<VariableValue> values;
  for (std::size_t at = files_[i].begin; at < files_[i].end;) {
    std::wstring name = Take(at);
    std::wstring value = Take(at);
    values.push_back({std::move(name), true, std::move(value)});
  }
  return values;
}

void PluginReader::Append(const std::wstring& text) {
  const auto length = static_cast<std::uint32_t>(text.size());
  packed_.push_back(static_cast<wchar_t>(length & 0xFFFF));
  packed_.push_back(static_cast<wchar_t>(length >> 16));
  packed_.append(text);
}

std::wstring PluginReader::Take(std::size_t& at) const {
  const std::size_t length = static_cast<std::uint16_t>(packed_[at]) |
                             (static_cast<std::size_t>(static_cast<std::uint16_t>(packed_[at + 1])) << 16);
  std::wstring text = packed_.substr(at + 2, length);
  at += 2 + length;
  return text;
}

}  // namespace calsvar
