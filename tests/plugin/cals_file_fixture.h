// What the opened-file and format tests share: CALS files on disk, the
// host's installation with a tag configuration file, variable-item arrays
// the way the host builds them, and poison values that show what a call
// left untouched.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "convert/windows/ole_handles.h"
#include "com/com_object.h"
#include "com/com_ptr.h"
#include "plugin/cals_format.h"
#include "plugin/host_records.h"
#include "tests/support/win/cals_test_files.h"
#include "tests/support/win/test_environment.h"

namespace cals_test {

inline constexpr LONG kPoisonFlag = static_cast<LONG>(0xDEADBEEF);
inline constexpr LONG kPoisonValue = static_cast<LONG>(0x0BADF00D);
// Records 1 to 11, the ones the tag model reads; what follows is never
// written.
inline constexpr std::size_t kParsed = 11 * 128;

// ---- files --------------------------------------------------------------

// Last-write time of a file; nullopt when it cannot be read.
inline std::optional<std::uint64_t> WriteTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

// Moves the last-write time far into the past, so that any later write
// shows as a change of time.
inline bool AgeFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  SYSTEMTIME old{2001, 2, 0, 3, 4, 5, 6, 0};
  FILETIME time;
  SystemTimeToFileTime(&old, &time);
  const BOOL ok = SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
  return ok != FALSE;
}

// A typical engineering drawing: records 1 to 11, blank records up to 16,
// then raster bytes.
inline std::string CalsFile() {
  return testing_support::CalsFile({"srcdocid: D-4711 A01 B", "dstdocid: NONE", "txtfilid: NONE",
                                    "figid: NONE", "srcgph: NONE", "docls: NONE", "rtype: 1",
                                    "rorient: 000,270", "rpelcnt: 001728,002200", "rdensty: 0200",
                                    "notes: NONE"});
}

// The tag configuration of a realistic installation: the source document
// id cut into drawing number, sheet and revision; the orientation into its
// two angles; the notes into an approval date and name; the density
// read-only.
inline const char kStandardConfiguration[] =
    "[srcdocid]\r\n"
    "Tagnames=drawingno;sheet;revision\r\n"
    "Tagpositions=1-6;8-10;12-12\r\n"
    "[rorient]\r\n"
    "Tagnames=rotation;orientation;\r\n"
    "Tagpositions=1-3;5-7;\r\n"
    "[rdensty]\r\n"
    "Readonly=1\r\n"
    "[notes]\r\n"
    "Tagnames=approved;approvedby\r\n"
    "Tagpositions=1-10;12-40\r\n";

// ---- variable items -----------------------------------------------------

struct ItemSpec {
  const wchar_t* name;    // null gives a null BSTR
  const wchar_t* source;  // null gives a null BSTR
};

// An array of VariableItem the way the host passes it: it owns the names
// and values. Every item starts with the poison flag and the poison value.
class Items {
 public:
  Items(std::initializer_list<ItemSpec> specs) : items_(specs.size()) {
    std::size_t i = 0;
    for (const ItemSpec& spec : specs) {
      VariableItem& item = items_[i++];
      item.variableName = spec.name ? SysAllocString(spec.name) : nullptr;
      item.sourceName = spec.source ? SysAllocString(spec.source) : nullptr;
      VariantInit(&item.variableValue);
      item.variableValue.vt = VT_I4;
      item.variableValue.lVal = kPoisonValue;
      item.resultFlag = kPoisonFlag;
    }
  }
  ~Items() {
    for (VariableItem& item : items_) {
      SysFreeString(item.variableName);
      SysFreeString(item.sourceName);
      VariantClear(&item.variableValue);
    }
  }
  Items(const Items&) = delete;
  Items& operator=(const Items&) = delete;

  VariableItem* data() { return items_.data(); }
  LONG count() const { return static_cast<LONG>(items_.size()); }
  VariableItem& operator[](std::size_t i) { return items_[i]; }

  void SetString(std::size_t i, const wchar_t* text) {
    VariantClear(&items_[i].variableValue);
    items_[i].variableValue.vt = VT_BSTR;
    items_[i].variableValue.bstrVal = SysAllocString(text);
  }
  void SetDate(std::size_t i, double date) {
    VariantClear(&items_[i].variableValue);
    items_[i].variableValue.vt = VT_DATE;
    items_[i].variableValue.date = date;
  }

  // The item still holds what the constructor put there.
  bool Untouched(std::size_t i) const {
    const VariableItem& item = items_[i];
    return item.resultFlag == kPoisonFlag && item.variableValue.vt == VT_I4 &&
           item.variableValue.lVal == kPoisonValue;
  }
  // The text of a value that GetVariables stored; "<not a string>" else.
  std::wstring Text(std::size_t i) const {
    const VARIANT& value = items_[i].variableValue;
    if (value.vt != VT_BSTR || value.bstrVal == nullptr) return L"<not a string>";
    return std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
  }

 private:
  std::vector<VariableItem> items_;
};

// ---- environment --------------------------------------------------------

// COM, the host's installation with the tag configuration file, a folder
// for CALS files and a format object; all put back afterwards.
class CalsEnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    ASSERT_TRUE(install_.ready());
    ASSERT_TRUE(install_.WriteConfiguration(kStandardConfiguration));
    ASSERT_EQ(S_OK, CreateClassInstance<CCalsFormat>(nullptr, IID_IOrvFileFormat,
                                                     format_.put_void()));
  }

  // A new CALS file in the test's folder.
  std::wstring MakeFile(const std::string& bytes, const std::wstring& name = L"drawing.cal") {
    const std::wstring path = files_.File(name);
    EXPECT_TRUE(testing_support::WriteBinaryFile(path, bytes));
    return path;
  }

  // OpenFile through the format object; fails the test when it fails.
  ComPtr<IOrvFileNavigator> Open(const std::wstring& path) {
    ComPtr<IOrvFileNavigator> navigator;
    UniqueBstr bstrPath(SysAllocString(path.c_str()));
    const HRESULT hr = format_->OpenFile(bstrPath.get(), 0, navigator.put());
    EXPECT_EQ(S_OK, hr) << "OpenFile " << std::string(path.begin(), path.end());
    return navigator;
  }

  // SetVariables (date style 103) with one item of the CALS source that
  // holds `text`; `flag` receives the item's result flag.
  static HRESULT WriteString(IOrvFileNavigator* file, const wchar_t* name, const wchar_t* text,
                             LONG* flag = nullptr) {
    Items item{{name, L"CALS"}};
    item.SetString(0, text);
    const HRESULT hr = file->SetVariables(0, 0, 0, 1, item.data(), 103);
    if (flag != nullptr) *flag = item[0].resultFlag;
    return hr;
  }

  testing_support::ComApartment apartment_;
  testing_support::TestInstallation install_;
  testing_support::TempDir files_;
  ComPtr<IOrvFileFormat> format_;
};

}  // namespace cals_test
