// Control interface of host_doubles.dll, the test-only in-process COM server
// that stands in for the host's components: the tip-text component
// (CLSID_OrvTipText), the tip-dialog component (CLSID_OrvTipDialog), the
// optional outside class (CLSID_OrvOptionalComponent, IUnknown only) and a
// preview provider whose CreatePreview hands out a recording inner preview.
//
// The DLL is never shipped and never linked: a test loads it with
// LoadLibrary (HostDoublesLibrary below does that) and, because COM loads
// the same file in-process, the control functions act on the very objects
// that COM hands to the code under test.
//
// Typical use:
//   HostDoublesLibrary doubles;             // loads the DLL, resolves all
//   ASSERT_TRUE(doubles.loaded());
//   doubles.Reset();                        // clean log and settings
//   doubles.Register(kHostDoublesAll);      // classes into HKCR
//   ... code under test ...
//   EXPECT_EQ(L"TipDialog.ShowTip(7,\"tip\",6)\n", doubles.Log(L"TipDialog."));
//   doubles.Unregister(kHostDoublesAll);
//
// Call log: one line per event, each ended by '\n'. Arguments are separated
// by ',' without blanks; LONG and INT_PTR values in decimal, pointers as
// "0x" and lower-case hex ("0x0" for null), BSTRs in double quotes or
// "null". Events:
//   TipText.Create / TipText.Destroy
//   TipText.SetSource("<product>","<section>")
//   TipText.GetTipText(<tipNumber>)
//   TipDialog.Create / TipDialog.Destroy
//   TipDialog.ShowTip(<ownerValue>,"<text>",<style>)
//   Optional.Create / Optional.Destroy
//   Provider.CreatePreview(<ownerValue>,<b>,<c>,<d>)
//   Preview.PreviewOperation1(<a1>,<a2>,<a3>,<a4>)
//   Preview.PreviewOperation<n>(<a1>,<a2>,<a3>)      n = 2..9
// A failing creation (HostDoubles_SetResult on a *_CREATE operation) still
// logs its Create line; an operation made to fail still logs its call.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <climits>
#include <string>
#include <string_view>

struct IOrvPreviewProvider;

// Classes for HostDoubles_Register / HostDoubles_Unregister.
inline constexpr DWORD kHostDoublesTipText = 0x1;
inline constexpr DWORD kHostDoublesTipDialog = 0x2;
inline constexpr DWORD kHostDoublesOptional = 0x4;
inline constexpr DWORD kHostDoublesAll = 0x7;

// Operations whose result a test can choose with HostDoubles_SetResult.
// The *_CREATE ones are the class objects' CreateInstance (a failure there
// hands out no object). Preview operation n is kHostDoublesPreviewOp1 + n - 1;
// the inner preview returns exactly the chosen value, success codes too.
enum HostDoublesOperation : DWORD {
  kHostDoublesTipTextCreate = 1,
  kHostDoublesTipTextSetSource = 2,
  kHostDoublesTipTextGetTipText = 3,
  kHostDoublesTipDialogCreate = 4,
  kHostDoublesTipDialogShowTip = 5,
  kHostDoublesOptionalCreate = 6,
  kHostDoublesProviderCreatePreview = 7,
  kHostDoublesPreviewOp1 = 11,  // .. kHostDoublesPreviewOp1 + 8 for operation 9
};

extern "C" {
// Registers the chosen classes under HKEY_CLASSES_ROOT\CLSID with this DLL
// as InprocServer32 (threading model "Both"). DllRegisterServer registers
// all of them, DllUnregisterServer removes all.
typedef HRESULT(WINAPI* HostDoubles_RegisterFn)(DWORD classMask);
typedef HRESULT(WINAPI* HostDoubles_UnregisterFn)(DWORD classMask);
// Empties the log, sets every result back to S_OK, the dialog result to 0,
// the tip text to the default "Tip <number>", removes the ShowTip callback,
// and forgets the inner previews
// handed out so far (those still referenced stay alive).
typedef void(WINAPI* HostDoubles_ResetFn)();
typedef void(WINAPI* HostDoubles_SetResultFn)(DWORD operation, HRESULT result);
// What ShowTip stores through its result pointer.
typedef void(WINAPI* HostDoubles_SetDialogResultFn)(LONG result);
// Runs `callback(context)` inside every ShowTip call, after it was logged,
// as if the user did something while the dialog is open. Reset clears it.
typedef void(WINAPI* HostDoubles_ShowTipCallback)(void* context);
typedef void(WINAPI* HostDoubles_SetShowTipCallbackFn)(HostDoubles_ShowTipCallback callback,
                                                         void* context);
// Runs `callback(context)` inside every operation of the inner preview,
// after it was logged, as if the host did something during the call (let
// go of the preview object, say). Reset clears it.
typedef void(WINAPI* HostDoubles_SetPreviewCallbackFn)(HostDoubles_ShowTipCallback callback, void* context);
// What GetTipText hands out; null makes it hand out a null BSTR with S_OK.
typedef void(WINAPI* HostDoubles_SetTipTextFn)(const wchar_t* text);
// Copies the call log into buffer (terminated, cut to capacity - 1
// characters) and returns its full length in characters.
typedef DWORD(WINAPI* HostDoubles_ReadCallLogFn)(wchar_t* buffer, DWORD capacity);
// Live tip-text, tip-dialog, optional and provider objects.
typedef LONG(WINAPI* HostDoubles_LiveObjectsFn)();
// Reference count of the index-th inner preview handed out since the last
// reset (0 = first). Inner previews are not freed when their count reaches
// 0, so an extra Release shows as a negative count. FALSE when no such one.
typedef BOOL(WINAPI* HostDoubles_GetInnerPreviewRefCountFn)(DWORD index, LONG* count);
// A new preview provider with one reference for the caller.
typedef HRESULT(WINAPI* HostDoubles_CreatePreviewProviderFn)(IOrvPreviewProvider** provider);
}

#ifdef HOST_DOUBLES_DLL_PATH
// Loads host_doubles.dll (its path comes from HOST_DOUBLES_DLL_PATH, which
// the host_doubles_api CMake target defines) and resolves every export.
// The library stays loaded for the life of the object.
class HostDoublesLibrary {
 public:
  HostDoublesLibrary() {
    module_ = LoadLibraryW(DllPath().c_str());
    if (module_ == nullptr) return;
    bool all = Resolve(register_, "HostDoubles_Register") &&
               Resolve(unregister_, "HostDoubles_Unregister") &&
               Resolve(reset_, "HostDoubles_Reset") && Resolve(setResult_, "HostDoubles_SetResult") &&
               Resolve(setDialogResult_, "HostDoubles_SetDialogResult") &&
               Resolve(setTipText_, "HostDoubles_SetTipText") &&
               Resolve(setShowTipCallback_, "HostDoubles_SetShowTipCallback") &&
               Resolve(setPreviewCallback_, "HostDoubles_SetPreviewCallback") &&
               Resolve(readCallLog_, "HostDoubles_ReadCallLog") &&
               Resolve(liveObjects_, "HostDoubles_LiveObjects") &&
               Resolve(innerRefCount_, "HostDoubles_GetInnerPreviewRefCount") &&
               Resolve(createProvider_, "HostDoubles_CreatePreviewProvider");
    if (!all) {
      FreeLibrary(module_);
      module_ = nullptr;
    }
  }
  ~HostDoublesLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  HostDoublesLibrary(const HostDoublesLibrary&) = delete;
  HostDoublesLibrary& operator=(const HostDoublesLibrary&) = delete;

  bool loaded() const { return module_ != nullptr; }

  HRESULT Register(DWORD mask) const { return register_(mask); }
  HRESULT Unregister(DWORD mask) const { return unregister_(mask); }
  void Reset() const { reset_(); }
  void SetResult(DWORD operation, HRESULT result) const { setResult_(operation, result); }
  void SetDialogResult(LONG result) const { setDialogResult_(result); }
  void SetTipText(const wchar_t* text) const { setTipText_(text); }
  void SetShowTipCallback(HostDoubles_ShowTipCallback callback, void* context) const {
    setShowTipCallback_(callback, context);
  }
  void SetPreviewCallback(HostDoubles_ShowTipCallback callback, void* context) const {
    setPreviewCallback_(callback, context);
  }
  LONG LiveObjects() const { return liveObjects_(); }
  HRESULT CreatePreviewProvider(IOrvPreviewProvider** provider) const {
    return createProvider_(provider);
  }
  // LONG_MIN when there is no such inner preview.
  LONG InnerPreviewRefCount(DWORD index) const {
    LONG count = 0;
    return innerRefCount_(index, &count) ? count : LONG_MIN;
  }

  // The whole log, or only its lines that begin with `prefix`.
  std::wstring Log(std::wstring_view prefix = {}) const {
    std::wstring text(readCallLog_(nullptr, 0), L'\0');
    if (!text.empty()) {
      std::wstring buffer(text.size() + 1, L'\0');
      readCallLog_(buffer.data(), static_cast<DWORD>(buffer.size()));
      text.assign(buffer.c_str());
    }
    if (prefix.empty()) return text;
    std::wstring filtered;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find(L'\n', start);
      end = end == std::wstring::npos ? text.size() : end + 1;
      std::wstring_view line(text.data() + start, end - start);
      if (line.substr(0, prefix.size()) == prefix) filtered.append(line);
      start = end;
    }
    return filtered;
  }

 private:
  static std::wstring DllPath() {
    std::wstring path;
    for (const char* p = HOST_DOUBLES_DLL_PATH; *p != '\0'; ++p)
      path.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    // A Unix path from the build tree is reached through Wine's Z: drive.
    if (!path.empty() && path[0] == L'\\') path.insert(0, L"Z:");
    return path;
  }

  template <class Fn>
  bool Resolve(Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    return fn != nullptr;
  }

  HMODULE module_ = nullptr;
  HostDoubles_RegisterFn register_ = nullptr;
  HostDoubles_UnregisterFn unregister_ = nullptr;
  HostDoubles_ResetFn reset_ = nullptr;
  HostDoubles_SetResultFn setResult_ = nullptr;
  HostDoubles_SetDialogResultFn setDialogResult_ = nullptr;
  HostDoubles_SetTipTextFn setTipText_ = nullptr;
  HostDoubles_SetShowTipCallbackFn setShowTipCallback_ = nullptr;
  HostDoubles_SetPreviewCallbackFn setPreviewCallback_ = nullptr;
  HostDoubles_ReadCallLogFn readCallLog_ = nullptr;
  HostDoubles_LiveObjectsFn liveObjects_ = nullptr;
  HostDoubles_GetInnerPreviewRefCountFn innerRefCount_ = nullptr;
  HostDoubles_CreatePreviewProviderFn createProvider_ = nullptr;
};
#endif  // HOST_DOUBLES_DLL_PATH
