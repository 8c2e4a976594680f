#include "plugin/cals_format.h"

#include <memory>

#include "convert/windows/ole_handles.h"
#include "plugin/cals_file.h"
#include "com/com_boundary.h"
#include "plugin/host_records.h"
#include "plugin/optional_component.h"

namespace {

constexpr wchar_t kFormatName[] = L"KORVANE PDM";
constexpr wchar_t kFormatDescription[] = L"File format plugin for CALS files.";
constexpr wchar_t kFormatExtensions[] = L"cal,ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst";

// The main group always holds these; "cal" joins them unless the optional
// outside class is installed, which gives "cal" a group of its own.
constexpr wchar_t kMainGroupExtensions[] = L"ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst";
constexpr wchar_t kMainGroupWithCal[] = L"ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst,cal";
constexpr wchar_t kCalGroupExtensions[] = L"cal";

struct CoTaskMemDeleter {
  void operator()(void* block) const noexcept { CoTaskMemFree(block); }
};
using UniqueGroupBlock = std::unique_ptr<ExtensionGroup[], CoTaskMemDeleter>;

}  // namespace

HRESULT CCalsFormat::FinalConstruct() {
  return CoCreateFreeThreadedMarshaler(ControllingUnknown(this), marshaler_.put());
}

void CCalsFormat::FinalRelease() { marshaler_.Reset(); }

HRESULT CCalsFormat::InternalQueryInterface(REFIID iid, void** out) noexcept {
  const HRESULT hr = QueryListedInterface<ICalsFormat, IOrvFileFormat, IOrvFileFormat2>(this, iid, out);
  // IMarshal belongs to the aggregated free-threaded marshaler.
  if (hr != E_NOINTERFACE || !marshaler_ || !IsEqualIID(iid, IID_IMarshal)) return hr;
  return marshaler_->QueryInterface(iid, out);
}

STDMETHODIMP CCalsFormat::GetDescription(BSTR* name, BSTR* description, BSTR* extensions) noexcept {
  if (name == nullptr || description == nullptr || extensions == nullptr) return E_POINTER;
  // All three or none: the host must never receive a null string with S_OK.
  UniqueBstr nameText(SysAllocString(kFormatName));
  UniqueBstr descriptionText(SysAllocString(kFormatDescription));
  UniqueBstr extensionsText(SysAllocString(kFormatExtensions));
  if (!nameText.get() || !descriptionText.get() || !extensionsText.get()) return E_OUTOFMEMORY;
  *name = nameText.Release();
  *description = descriptionText.Release();
  *extensions = extensionsText.Release();
  return S_OK;
}

STDMETHODIMP CCalsFormat::GetFormatCode(BSTR /*extension*/, LONG* code) noexcept {
  if (code == nullptr) return E_POINTER;
  *code = kCalsFormatCode;
  return S_OK;
}

STDMETHODIMP CCalsFormat::OpenFile(BSTR path, LONG /*flags*/, IOrvFileNavigator** result) noexcept {
  return ComBoundary([&] { return OpenFileBody(path, result); });
}

HRESULT CCalsFormat::OpenFileBody(BSTR path, IOrvFileNavigator** result) {
  if (result == nullptr) return E_POINTER;
  *result = nullptr;

  CComObject<CCalsFile>* created = nullptr;
  const HRESULT created_hr = CComObject<CCalsFile>::CreateInstance(&created);
  if (FAILED(created_hr)) return created_hr;
  // Holds the one reference: a failed load destroys the object here.
  auto file = ComPtr<CComObject<CCalsFile>>::Copy(created);

  const HRESULT loaded = file->LoadHeader(path);
  if (FAILED(loaded)) return loaded;

  *result = static_cast<IOrvFileNavigator*>(file.Detach());
  return S_OK;
}

STDMETHODIMP CCalsFormat::FormatOperation4() noexcept { return E_NOTIMPL; }

STDMETHODIMP CCalsFormat::FormatOperation5(LONG /*a1*/, void* a2) noexcept {
  return a2 == nullptr ? E_POINTER : E_NOTIMPL;
}

STDMETHODIMP CCalsFormat::GetExtensionGroups(LONG* count, ExtensionGroup** groups) noexcept {
  return ComBoundary([&] { return GetExtensionGroupsBody(count, groups); });
}

HRESULT CCalsFormat::GetExtensionGroupsBody(LONG* count, ExtensionGroup** groups) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  if (groups == nullptr) return E_POINTER;
  *groups = nullptr;

  const bool calHasOwnGroup = OptionalComponentInstalled();
  const LONG groupCount = calHasOwnGroup ? 2 : 1;

  UniqueGroupBlock block(
      static_cast<ExtensionGroup*>(CoTaskMemAlloc(sizeof(ExtensionGroup) * groupCount)));
  if (!block) return E_OUTOFMEMORY;

  // The host gets the block only when every string in it exists; otherwise
  // it would free (or read) garbage or a null list.
  UniqueBstr mainList(SysAllocString(calHasOwnGroup ? kMainGroupExtensions : kMainGroupWithCal));
  UniqueBstr calList(calHasOwnGroup ? SysAllocString(kCalGroupExtensions) : nullptr);
  if (!mainList.get() || (calHasOwnGroup && !calList.get())) return E_OUTOFMEMORY;

  block[0].extensionList = mainList.Release();
  block[0].groupKind = kExtensionGroupKind;
  block[0].groupId = GUID_OrvMainExtensionGroup;
  if (calHasOwnGroup) {
    block[1].extensionList = calList.Release();
    block[1].groupKind = kExtensionGroupKind;
    block[1].groupId = GUID_OrvCalExtensionGroup;
  }

  *count = groupCount;
  *groups = block.release();
  return S_OK;
}
