#include "tests/host_doubles/registration.h"

#include <objbase.h>

#include <string>

#include "tests/host_doubles/class_table.h"

namespace host_doubles {
namespace {

std::wstring ClassKeyPath(const CLSID& clsid) {
  wchar_t text[40];
  StringFromGUID2(clsid, text, 40);
  return std::wstring(L"CLSID\\") + text;
}

LONG SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LONG RegisterOne(const DoubleClass& entry, const std::wstring& modulePath) {
  std::wstring path = ClassKeyPath(*entry.clsid) + L"\\InprocServer32";
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  rc = SetString(key, nullptr, modulePath);
  if (rc == ERROR_SUCCESS) rc = SetString(key, L"ThreadingModel", L"Both");
  RegCloseKey(key);
  return rc;
}

}  // namespace

HRESULT RegisterClasses(HMODULE module, DWORD classMask) {
  wchar_t modulePath[MAX_PATH];
  DWORD length = GetModuleFileNameW(module, modulePath, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return E_FAIL;
  for (const DoubleClass* entry = ClassesBegin(); entry != ClassesEnd(); ++entry) {
    if ((classMask & entry->registrationBit) == 0) continue;
    LONG rc = RegisterOne(*entry, modulePath);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  }
  return S_OK;
}

HRESULT UnregisterClasses(DWORD classMask) {
  for (const DoubleClass* entry = ClassesBegin(); entry != ClassesEnd(); ++entry) {
    if ((classMask & entry->registrationBit) == 0) continue;
    LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKeyPath(*entry->clsid).c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return HRESULT_FROM_WIN32(rc);
  }
  return S_OK;
}

}  // namespace host_doubles
