// A thin wrapper round one open registry key; the key is closed when the
// object goes or another key is opened through it.
#pragma once

#include <windows.h>

#include <string>

class Registry {
 public:
  Registry() = default;
  virtual ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  // Closes any key held (status in lastResult), then opens `subKey` of
  // `parent` (RegOpenKeyExW), or opens or creates it when `create` is set
  // and a sub-key path is given (RegCreateKeyExW: non-volatile, default
  // security, empty class). True on success.
  bool OpenKey(HKEY parent, const wchar_t* subKey, REGSAM access, bool create);
  // Opens (or creates) a sub-key of the held key and makes it the held key,
  // with the same access.
  bool OpenSubKey(const wchar_t* subKey, REGSAM access, bool create);
  // REG_SZ or REG_EXPAND_SZ (expanded); terminated even when the stored
  // value is not.
  bool QueryString(const wchar_t* valueName, std::wstring& text);
  // 4 bytes of type REG_DWORD or REG_DWORD_BIG_ENDIAN only.
  bool ReadDword(const wchar_t* valueName, DWORD& value);
  void Close();

  HKEY key() const { return key_; }
  LONG lastResult() const { return lastResult_; }

 private:
  HKEY key_ = nullptr;
  LONG lastResult_ = ERROR_SUCCESS;
};
