#include "tools/calsvar/plugin/plugin_connection.h"

#include "mirotex_h.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/plugin/dll_version.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

constexpr wchar_t kProgId[] = L"Mirotex.CalsFormat";

std::string Failure(const std::string& what, HRESULT hr) {
  return what + " (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")";
}

}  // namespace

std::optional<std::wstring> PluginConnection::RegisteredDll(std::string& error) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(kProgId, &clsid))) {
    error = "\"Mirotex.CalsFormat\" is not in the registry";
    return std::nullopt;
  }
  wchar_t clsidText[39];
  StringFromGUID2(clsid, clsidText, 39);
  const std::wstring key = std::wstring(L"CLSID\\") + clsidText + L"\\InprocServer32";
  // Two reads: the size, then the text (expanded, as COM expands it).
  DWORD bytes = 0;
  LSTATUS status = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
  std::wstring path(bytes / sizeof(wchar_t) + 1, L'\0');
  if (status == ERROR_SUCCESS) {
    bytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
    status = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path.data(), &bytes);
  }
  path.resize(status == ERROR_SUCCESS ? wcslen(path.c_str()) : 0);
  if (path.empty()) {
    const HRESULT why = HRESULT_FROM_WIN32(status == ERROR_SUCCESS ? ERROR_FILE_NOT_FOUND : status);
    error = Failure("\"Mirotex.CalsFormat\" names no DLL in HKEY_CLASSES_ROOT\\" + Utf8(key), why);
    return std::nullopt;
  }
  return path;
}

std::wstring PluginConnection::DllBesideCalsvar() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return path.substr(0, slash == std::wstring::npos ? 0 : slash + 1) + L"mirotex.dll";
}

std::string PluginConnection::DllVersion() const {
  std::string error;
  const std::optional<std::wstring> path = dll_ ? dll_ : RegisteredDll(error);
  if (!path) return {};
  return DllFileVersion(*path, error).value_or(std::string());
}

std::optional<PluginConnection> PluginConnection::Connect(const std::optional<std::wstring>& dll,
                                                          std::string& error) {
  PluginConnection connection;
  connection.dll_ = dll;
  if (!dll) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(kProgId, &clsid);
    if (SUCCEEDED(hr)) {
      hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOrvFileFormat, connection.format_.put_void());
    }
    if (FAILED(hr)) {
      error = Failure("the plug-in \"Mirotex.CalsFormat\" cannot be created", hr) +
              "; register it with 'calsvar register' or 'regsvr32 mirotex.dll', or name the DLL with --dll PATH";
      return std::nullopt;
    }
    return connection;
  }

  connection.module_ = UniqueModule(LoadLibraryExW(dll->c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!connection.module_) {
    error = Failure(Utf8(*dll) + ": the DLL cannot be loaded", HRESULT_FROM_WIN32(GetLastError()));
    return std::nullopt;
  }
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  const auto getClassObject =
      reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(connection.module_.get(), "DllGetClassObject")));
  if (getClassObject == nullptr) {
    error = Utf8(*dll) + ": the DLL has no DllGetClassObject export; it is not a COM server";
    return std::nullopt;
  }
  ComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject(CLSID_CalsFormat, IID_IClassFactory, factory.put_void());
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IOrvFileFormat, connection.format_.put_void());
  if (FAILED(hr)) {
    error = Failure(Utf8(*dll) + ": the DLL does not create the CALS format object", hr);
    return std::nullopt;
  }
  return connection;
}

}  // namespace calsvar
