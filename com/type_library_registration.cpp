#include "com/type_library_registration.h"

#include <oleauto.h>

#include <string>

#include "convert/windows/ole_handles.h"
#include "com/com_ptr.h"
#include "com/module_path.h"
#include "com/type_library_path.h"

namespace {

// Loads the library from the module (LoadTypeLib on a DLL path reads its
// TYPELIB resource 1), else from the .tlb file of the same name. `loadedFrom`
// is the file the library actually came from.
HRESULT LoadModuleTypeLibrary(HINSTANCE instance, ComPtr<ITypeLib>* library, std::wstring* loadedFrom) {
  std::wstring path;
  if (HRESULT hr = GetModulePath(instance, &path); FAILED(hr)) return hr;
  if (SUCCEEDED(LoadTypeLib(path.c_str(), library->put()))) {
    *loadedFrom = std::move(path);
    return S_OK;
  }
  path = TypeLibraryPathFor(path);
  if (HRESULT hr = LoadTypeLib(path.c_str(), library->put()); FAILED(hr)) return hr;
  *loadedFrom = std::move(path);
  return S_OK;
}

// The folder of the library's help file. A library that names none gets the
// folder it was loaded from, with its closing backslash: the form in which
// Windows Installer writes folders, so that the installer package's
// registration writes the same value (the platform would write the folder
// without the backslash).
std::wstring HelpDirectory(ITypeLib* library, const std::wstring& loadedFrom) {
  UniqueBstr helpFile;
  if (FAILED(library->GetDocumentation(-1, nullptr, nullptr, nullptr, helpFile.put())) ||
      helpFile.get() == nullptr) {
    const std::size_t slash = loadedFrom.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : loadedFrom.substr(0, slash + 1);
  }
  const std::wstring file(helpFile.get(), SysStringLen(helpFile.get()));
  const std::size_t slash = file.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
}

class LibraryAttributes {
 public:
  explicit LibraryAttributes(ITypeLib* library) : library_(library) { hr_ = library->GetLibAttr(&attributes_); }
  ~LibraryAttributes() {
    if (SUCCEEDED(hr_)) library_->ReleaseTLibAttr(attributes_);
  }
  LibraryAttributes(const LibraryAttributes&) = delete;
  LibraryAttributes& operator=(const LibraryAttributes&) = delete;

  HRESULT result() const { return hr_; }
  const TLIBATTR& get() const { return *attributes_; }

 private:
  ITypeLib* library_;
  TLIBATTR* attributes_ = nullptr;
  HRESULT hr_;
};

}  // namespace

HRESULT RegisterModuleTypeLibrary(HINSTANCE instance) {
  ComPtr<ITypeLib> library;
  std::wstring path;
  if (HRESULT hr = LoadModuleTypeLibrary(instance, &library, &path); FAILED(hr)) return hr;
  std::wstring helpDirectory = HelpDirectory(library.get(), path);
  // The registered path is the file the library was read from, so that the
  // registration points at a file that really holds it.
  return RegisterTypeLib(library.get(), path.data(), helpDirectory.empty() ? nullptr : helpDirectory.data());
}

HRESULT UnregisterModuleTypeLibrary(HINSTANCE instance) {
  ComPtr<ITypeLib> library;
  std::wstring path;
  if (HRESULT hr = LoadModuleTypeLibrary(instance, &library, &path); FAILED(hr)) return hr;
  LibraryAttributes attributes(library.get());
  if (FAILED(attributes.result())) return attributes.result();
  const TLIBATTR& a = attributes.get();
  return UnRegisterTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
}
