#include "com/registry_script_resource.h"

#include <climits>
#include <string>

#include "com/module_path.h"
#include "com/registrar/script_expansion.h"
#include "com/registrar/script_runner.h"
#include "com/win32_registry.h"

namespace {

// The scripts are stored as 8-bit text in the thread's ANSI code page.
HRESULT LoadScript(HINSTANCE instance, UINT resourceId, std::u16string* text) {
  HRSRC info = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), L"REGISTRY");
  if (info == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  HGLOBAL handle = LoadResource(instance, info);
  const DWORD size = SizeofResource(instance, info);
  const char* bytes = handle != nullptr ? static_cast<const char*>(LockResource(handle)) : nullptr;
  if (bytes == nullptr || size > INT_MAX) return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
  text->clear();
  if (size == 0) return S_OK;
  const int units = MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, static_cast<int>(size), nullptr, 0);
  if (units <= 0) return HRESULT_FROM_WIN32(GetLastError());
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_THREAD_ACP, 0, bytes, static_cast<int>(size), wide.data(), units);
  text->assign(wide.begin(), wide.end());
  return S_OK;
}

}  // namespace

HRESULT UpdateRegistryFromResource(HINSTANCE instance, UINT resourceId, bool doRegister) {
  std::wstring path;
  if (HRESULT hr = GetModulePath(instance, &path); FAILED(hr)) return hr;
  const registrar::Replacements replacements =
      registrar::ModuleReplacements(std::u16string(path.begin(), path.end()));
  std::u16string script;
  if (HRESULT hr = LoadScript(instance, resourceId, &script); FAILED(hr)) return hr;
  Win32Registry registry;
  return registrar::RunRegistryScriptText(
      script, replacements, registry,
      doRegister ? registrar::RunMode::kRegister : registrar::RunMode::kUnregister);
}
