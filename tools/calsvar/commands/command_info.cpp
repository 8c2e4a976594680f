// calsvar info: what the format object tells the host about itself.
#include <objbase.h>

#include "convert/windows/ole_handles.h"
#include "com/com_ptr.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/output/json_writer.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

// The block of groups GetExtensionGroups hands over, freed as the host
// frees it.
class ExtensionGroups {
 public:
  ExtensionGroups() = default;
  ExtensionGroups(const ExtensionGroups&) = delete;
  ExtensionGroups& operator=(const ExtensionGroups&) = delete;
  ~ExtensionGroups() {
    if (groups_ == nullptr) return;
    for (LONG i = 0; i < count_; ++i) SysFreeString(groups_[i].extensionList);
    CoTaskMemFree(groups_);
  }
  LONG* count() { return &count_; }
  ExtensionGroup** groups() { return &groups_; }
  LONG size() const { return groups_ == nullptr ? 0 : count_; }
  const ExtensionGroup& operator[](LONG i) const { return groups_[i]; }

 private:
  LONG count_ = 0;
  ExtensionGroup* groups_ = nullptr;
};

std::u16string Text(const UniqueBstr& bstr) {
  return bstr.get() == nullptr ? std::u16string() : ToUtf16(std::wstring_view(bstr.get(), SysStringLen(bstr.get())));
}

std::u16string ExtensionsOf(const ExtensionGroup& group) {
  return ToUtf16(group.extensionList == nullptr ? L"" : group.extensionList);
}

std::u16string GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return ToUtf16(text);
}

}  // namespace

int RunInfo(const Invocation& inv, IOrvFileFormat* format, Console& console) {
  UniqueBstr name;
  UniqueBstr description;
  UniqueBstr extensions;
  HRESULT hr = format->GetDescription(name.put(), description.put(), extensions.put());
  if (FAILED(hr)) {
    console.Err("calsvar: the plug-in gives no description (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")");
    return kExitLoadFailed;
  }
  ComPtr<IOrvFileFormat2> format2;
  ExtensionGroups groups;
  hr = format->QueryInterface(IID_IOrvFileFormat2, format2.put_void());
  if (SUCCEEDED(hr)) hr = format2->GetExtensionGroups(groups.count(), groups.groups());
  if (FAILED(hr)) {
    console.Err("calsvar: the plug-in gives no extension groups (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")");
    return kExitLoadFailed;
  }

  if (inv.json) {
    JsonWriter json;
    json.BeginObject().Key("name").String(Text(name)).Key("description").String(Text(description));
    json.Key("extensions").String(Text(extensions)).Key("groups").BeginArray();
    for (LONG i = 0; i < groups.size(); ++i) {
      json.BeginObject().Key("extensions").String(ExtensionsOf(groups[i])).Key("kind").Number(groups[i].groupKind);
      json.Key("id").String(GuidText(groups[i].groupId)).EndObject();
    }
    json.EndArray().EndObject();
    console.Out(json.text());
    return kExitOk;
  }
  console.Out("name\t" + Utf8(Text(name)));
  console.Out("description\t" + Utf8(Text(description)));
  console.Out("extensions\t" + Utf8(Text(extensions)));
  for (LONG i = 0; i < groups.size(); ++i) {
    console.Out("group\t" + Utf8(ExtensionsOf(groups[i])) + "\tkind " + std::to_string(groups[i].groupKind) + "\t" +
                Utf8(GuidText(groups[i].groupId)));
  }
  return kExitOk;
}

}  // namespace calsvar
