#include "plugin/cals_file.h"

#include <comdef.h>

#include <string>
#include <string_view>

#include "cals/win_utf16.h"
#include "cals/windows/windows_platform.h"
#include "convert/windows/variant_text.h"
#include "com/com_boundary.h"
#include "plugin/host_records.h"
#include "plugin/variable_source.h"

namespace {

// A host string as tag-model text, all of its length: a name or path with
// a zero inside must not stand for the shorter one in front of the zero.
// Null is the empty text.
std::u16string_view BstrView(BSTR text) {
  return text != nullptr ? std::u16string_view(reinterpret_cast<const char16_t*>(text), SysStringLen(text))
                         : std::u16string_view();
}
std::u16string BstrText(BSTR text) { return std::u16string(BstrView(text)); }

// A placeholder's answer: E_POINTER when any of its checked pointers is
// null, otherwise E_NOTIMPL. Nothing is read or written through them.
template <class... Pointers>
HRESULT CheckedNotImplemented(const Pointers*... pointers) noexcept {
  const bool anyNull = ((pointers == nullptr) || ...);
  return anyNull ? E_POINTER : E_NOTIMPL;
}

}  // namespace

CCalsFile::CCalsFile() : header_(cals::WindowsHeaderPlatform()) {}

HRESULT CCalsFile::InternalQueryInterface(REFIID iid, void** out) noexcept {
  return QueryListedInterface<ICalsFile, IOrvFileNavigator>(this, iid, out);
}

HRESULT CCalsFile::LoadHeader(BSTR path) {
  return static_cast<HRESULT>(header_.LoadHeader(BstrText(path)));
}

STDMETHODIMP CCalsFile::GetVariables(LONG /*reserved1*/, LONG stopAfterFirst, LONG /*reserved3*/,
                                     LONG count, VariableItem* items) noexcept {
  return ComBoundary([&] { return GetVariablesBody(stopAfterFirst, count, items); });
}

HRESULT CCalsFile::GetVariablesBody(LONG stopAfterFirst, LONG count, VariableItem* items) {
  if (items == nullptr) return E_POINTER;
  std::u16string text;  // one buffer for every item's value
  for (LONG index = 0; index < count; ++index) {
    VariableItem& item = items[index];
    if (!IsCalsSource(item.sourceName)) continue;

    const bool found = header_.tagFinder.GetTagValue(BstrView(item.variableName), text);
    item.resultFlag = found ? kItemHandled : kItemNotHandled;
    if (!found) continue;

    // The item keeps its flag: the tag was found, only the copy failed.
    if (!convert::TextToVariant(item.variableValue, reinterpret_cast<const wchar_t*>(text.c_str()))) {
      return E_OUTOFMEMORY;
    }
    if (stopAfterFirst != 0) return S_OK;
  }
  return S_OK;
}

STDMETHODIMP CCalsFile::SetVariables(LONG /*reserved1*/, LONG stopAfterFirst, LONG /*reserved3*/,
                                     LONG count, VariableItem* items, LONG dateStyle) noexcept {
  return ComBoundary([&] { return SetVariablesBody(stopAfterFirst, count, items, dateStyle); });
}

HRESULT CCalsFile::SetVariablesBody(LONG stopAfterFirst, LONG count, VariableItem* items,
                                    LONG dateStyle) {
  if (items == nullptr) return E_POINTER;
  for (LONG index = 0; index < count; ++index) {
    VariableItem& item = items[index];
    if (!IsCalsSource(item.sourceName)) continue;

    const std::u16string name = BstrText(item.variableName);
    std::wstring text;
    try {
      text = convert::VariantToText(item.variableValue, dateStyle);
    } catch (const _com_error& error) {
      // A value without a text form is refused like an unknown name, and
      // the other items still get their turn. Exhausted memory is no
      // property of this item: it ends the call.
      item.resultFlag = kItemNotHandled;
      if (error.Error() == E_OUTOFMEMORY) throw;
      continue;
    }

    const bool accepted = header_.tagFinder.SetTagValue(name, cals::ToUtf16(text));
    item.resultFlag = accepted ? kItemHandled : kItemNotHandled;
    if (!accepted) continue;
    header_.dirty = true;
    if (stopAfterFirst != 0) return S_OK;
  }
  return S_OK;
}

STDMETHODIMP CCalsFile::Save() noexcept {
  return ComBoundary([&] { return static_cast<HRESULT>(header_.SaveHeader()); });
}

STDMETHODIMP CCalsFile::NavigatorOperation1(LONG, void* a2, void* a3) noexcept {
  return CheckedNotImplemented(a2, a3);
}
STDMETHODIMP CCalsFile::NavigatorOperation2() noexcept { return E_NOTIMPL; }
STDMETHODIMP CCalsFile::NavigatorOperation3(void* a1) noexcept { return CheckedNotImplemented(a1); }
STDMETHODIMP CCalsFile::NavigatorOperation4(void* a1, void* a2, void* a3, void* a4, void* a5) noexcept {
  return CheckedNotImplemented(a1, a2, a3, a4, a5);
}
STDMETHODIMP CCalsFile::NavigatorOperation5(LONG, LONG, void* a3, void* a4) noexcept {
  return CheckedNotImplemented(a3, a4);
}
STDMETHODIMP CCalsFile::NavigatorOperation6(LONG, LONG, void* a3, void* a4) noexcept {
  return CheckedNotImplemented(a3, a4);
}
STDMETHODIMP CCalsFile::NavigatorOperation9(void* a1, void* a2) noexcept {
  return CheckedNotImplemented(a1, a2);
}
STDMETHODIMP CCalsFile::NavigatorOperation10(LONG, LONG, void* a3) noexcept {
  return CheckedNotImplemented(a3);
}
STDMETHODIMP CCalsFile::NavigatorOperation11(LONG, void* a2, void* a3) noexcept {
  return CheckedNotImplemented(a2, a3);
}
STDMETHODIMP CCalsFile::NavigatorOperation12() noexcept { return E_NOTIMPL; }
STDMETHODIMP CCalsFile::NavigatorOperation14(void* a1) noexcept { return CheckedNotImplemented(a1); }
STDMETHODIMP CCalsFile::NavigatorOperation15(LONG, LONG, LONG, void* a4, void* a5) noexcept {
  return CheckedNotImplemented(a4, a5);
}
STDMETHODIMP CCalsFile::NavigatorOperation16() noexcept { return E_NOTIMPL; }
STDMETHODIMP CCalsFile::NavigatorOperation17() noexcept { return S_OK; }
STDMETHODIMP CCalsFile::NavigatorOperation18() noexcept { return S_OK; }
STDMETHODIMP CCalsFile::NavigatorOperation19() noexcept { return E_NOTIMPL; }
STDMETHODIMP CCalsFile::NavigatorOperation20() noexcept { return E_NOTIMPL; }
