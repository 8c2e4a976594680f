// CALS files and host installations for tests that run under Wine.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

#include "cals/windows/settings_light.h"
#include "tests/support/win/registry_test_keys.h"
#include "tests/support/win/test_environment.h"

namespace testing_support {

inline bool WriteBinaryFile(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

inline std::string ReadBinaryFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

// One 128-byte record: the text, then `fill` to the end.
inline std::string Record(std::string_view text, char fill = ' ') {
  std::string record(text.substr(0, 128));
  record.resize(128, fill);
  return record;
}

// A header of the given records, blank records up to 16, then some raster
// bytes that a header operation must never touch.
inline std::string CalsFile(std::initializer_list<std::string_view> records) {
  std::string file;
  for (std::string_view text : records) file += Record(text);
  while (file.size() < 2048) file += Record("");
  for (int i = 0; i < 300; ++i) file.push_back(static_cast<char>(i * 7 + 1));
  return file;
}

// The 11 records of an ordinary scanned drawing.
inline std::string StandardCalsFile() {
  return CalsFile({"srcdocid: DRW-4711", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE", "srcgph: NONE",
                   "docls: NONE", "rtype: 1", "rorient: 000,270", "rpelcnt: 001728,002200", "rdensty: 0200",
                   "notes: NONE"});
}

// The host's installation for one test: "SharedLocation" points at a fresh
// folder (given without a trailing backslash, as installers often write
// it), which may hold the tag configuration file. Everything is put back
// afterwards.
class TestInstallation {
 public:
  TestInstallation()
      : keyPath_(HKEY_LOCAL_MACHINE, kProductKey), location_(HKEY_LOCAL_MACHINE, kProductKey, kSharedLocationValue) {
    const bool folderMade = CreateDirectoryW(folder_.File(L"FileFormats").c_str(), nullptr) != FALSE;
    ready_ = location_.SetString(folder_.path()) && folderMade;
  }

  // Whether both the folder and the registry value were made.
  bool ready() const { return ready_; }
  const TempDir& folder() const { return folder_; }
  ScopedRegistryValue& sharedLocation() { return location_; }
  std::wstring ConfigurationPath() const { return folder_.File(L"FileFormats\\Mirotex.ini"); }
  bool WriteConfiguration(std::string_view iniText) const {
    return WriteBinaryFile(ConfigurationPath(), iniText);
  }

 private:
  TempDir folder_;
  ScopedKeyPath keyPath_;
  ScopedRegistryValue location_;
  bool ready_ = false;
};

}  // namespace testing_support
