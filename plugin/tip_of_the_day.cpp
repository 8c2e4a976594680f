#include "plugin/tip_of_the_day.h"

#include <objbase.h>
#include <ole2.h>

#include <cwchar>
#include <iterator>

#include "cals/windows/registry.h"
#include "cals/windows/settings_light.h"
#include "convert/windows/ole_handles.h"
#include "host_interfaces_h.h"
#include "com/com_ptr.h"

namespace {

constexpr wchar_t kTipKey[] = L"TipOfTheDay";
constexpr REGSAM kTipKeyAccess = KEY_READ | KEY_WRITE;  // 0x2001F

// The host's components may be registered as local or remote servers.
constexpr DWORD kAnyServer =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
static_assert(kAnyServer == 23);

constexpr wchar_t kTipProduct[] = L"KORVANE PDM";
constexpr wchar_t kTipSection[] = L"TipOfTheDay";
constexpr LONG kTipDialogStyle = 6;
constexpr LONG kDoNotShowAgain = 2;
constexpr DWORD kTipInProgress = 1;

// An object from another server is not necessarily running when it is
// created: create it as IUnknown, run it, then ask for the interface.
template <class Interface>
HRESULT CreateRunningComponent(REFCLSID clsid, ComPtr<Interface>& component) {
  ComPtr<IUnknown> unknown;
  HRESULT hr = CoCreateInstance(clsid, nullptr, kAnyServer, IID_IUnknown, unknown.put_void());
  if (FAILED(hr)) return hr;
  hr = OleRun(unknown.get());
  if (FAILED(hr)) return hr;
  return unknown.As(__uuidof(Interface), component);
}

// Fetches the tip's text and shows it; `dialogResult` is the dialog's
// answer when the whole sequence succeeded.
HRESULT OfferTip(LONG ownerValue, LONG tipNumber, LONG& dialogResult) {
  ComPtr<IOrvTipText> tipText;
  HRESULT hr = CreateRunningComponent(CLSID_OrvTipText, tipText);
  if (FAILED(hr)) return hr;

  UniqueBstr product(SysAllocString(kTipProduct));
  UniqueBstr section(SysAllocString(kTipSection));
  if (product.get() == nullptr || section.get() == nullptr) return E_OUTOFMEMORY;
  hr = tipText->SetSource(product.get(), section.get());
  if (FAILED(hr)) return hr;

  UniqueBstr text;
  hr = tipText->GetTipText(tipNumber, text.put());
  if (FAILED(hr)) return hr;

  ComPtr<IOrvTipDialog> dialog;
  hr = CreateRunningComponent(CLSID_OrvTipDialog, dialog);
  if (FAILED(hr)) return hr;

  LONG result = 0;
  hr = dialog->ShowTip(ownerValue, text.get(), kTipDialogStyle, &result);
  if (FAILED(hr)) return hr;
  dialogResult = result;
  return S_OK;
}

// The registry value that marks the tip: written before the dialog so that
// a nested call while the dialog is open shows nothing, and removed again
// unless the user chose not to see the tip again.
class TipMark {
 public:
  TipMark(HKEY key, const wchar_t* valueName) : key_(key), valueName_(valueName) {
    // If the mark cannot be written the tip is still offered; it is then
    // merely not remembered.
    RegSetValueExW(key_, valueName_, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kTipInProgress),
                   sizeof(kTipInProgress));
  }
  ~TipMark() {
    if (!keep_) RegDeleteValueW(key_, valueName_);
  }
  TipMark(const TipMark&) = delete;
  TipMark& operator=(const TipMark&) = delete;

  void Keep() { keep_ = true; }

 private:
  HKEY key_;
  const wchar_t* valueName_;
  bool keep_ = false;
};

}  // namespace

void ShowTipOnce(LONG ownerValue, LONG tipNumber) noexcept {
  try {
    Registry tips;
    if (!tips.OpenKey(HKEY_CURRENT_USER, kProductKey, kTipKeyAccess, true)) return;
    if (!tips.OpenSubKey(kTipKey, kTipKeyAccess, true)) return;

    wchar_t valueName[16];
    swprintf(valueName, std::size(valueName), L"%d", static_cast<int>(tipNumber));

    // Only the presence of a DWORD counts, whatever it holds.
    DWORD seen = 0;
    if (tips.ReadDword(valueName, seen)) return;

    TipMark mark(tips.key(), valueName);
    LONG dialogResult = 0;
    if (SUCCEEDED(OfferTip(ownerValue, tipNumber, dialogResult)) &&
        (dialogResult & kDoNotShowAgain) != 0) {
      mark.Keep();
    }
  } catch (...) {
    // The tip is a courtesy: whatever went wrong, the preview goes on, and
    // the mark (if written) has been removed on the way out.
  }
}
