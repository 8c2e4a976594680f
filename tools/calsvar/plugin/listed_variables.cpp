#include "tools/calsvar/plugin/listed_variables.h"

#include "cals/header_layout.h"
#include "cals/status.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/plugin/exposed_names.h"
#include "tools/calsvar/writing/memory_header_file.h"

namespace calsvar {

HRESULT ReadListedVariables(IOrvFileFormat* format, const cals::HeaderPlatform& listing, const std::wstring& path,
                            const std::vector<unsigned char>& header, std::vector<VariableValue>& values) {
  values.clear();
  HRESULT hr = S_OK;
  const ComPtr<IOrvFileNavigator> file = OpenThroughPlugin(format, path, hr);
  if (!file) return hr;
  const bool whole = header.size() == cals::kHeaderSize;
  MemoryHeaderFile bytes(whole ? header : std::vector<unsigned char>());
  const cals::HeaderPlatform fromBytes{listing.codec, whole ? &bytes : listing.files, listing.config,
                                       listing.installation, listing.configStore};
  cals::Status status = 0;
  std::vector<std::wstring> names;
  for (const std::u16string& name : ExposedVariableNames(fromBytes, path, status)) names.push_back(ToWide(name));
  if (!cals::Succeeded(status)) return static_cast<HRESULT>(status);
  return ReadVariables(file.get(), names, values);
}

}  // namespace calsvar
