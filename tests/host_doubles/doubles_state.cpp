#include "tests/host_doubles/doubles_state.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <optional>

namespace host_doubles {
namespace {

// The test drives the doubles from its own thread while COM may call them
// on others; one lock keeps the shared settings consistent.
std::mutex g_lock;
std::wstring g_log;
std::map<DWORD, HRESULT> g_results;
LONG g_dialogResult = 0;
ShowTipCallback g_showTipCallback = nullptr;
void* g_showTipContext = nullptr;
ShowTipCallback g_previewCallback = nullptr;
void* g_previewContext = nullptr;
std::optional<std::wstring> g_tipText;  // empty optional: the default text
bool g_nullTipText = false;
LONG g_liveObjects = 0;

}  // namespace

void AppendLog(const std::wstring& line) {
  std::lock_guard guard(g_lock);
  g_log += line;
  g_log += L'\n';
}

std::wstring ReadLog() {
  std::lock_guard guard(g_lock);
  return g_log;
}

HRESULT ResultOf(DWORD operation) {
  std::lock_guard guard(g_lock);
  auto found = g_results.find(operation);
  return found == g_results.end() ? S_OK : found->second;
}

void SetResult(DWORD operation, HRESULT result) {
  std::lock_guard guard(g_lock);
  g_results[operation] = result;
}

LONG DialogResult() {
  std::lock_guard guard(g_lock);
  return g_dialogResult;
}

void SetDialogResult(LONG result) {
  std::lock_guard guard(g_lock);
  g_dialogResult = result;
}

void SetShowTipCallback(ShowTipCallback callback, void* context) {
  std::lock_guard guard(g_lock);
  g_showTipCallback = callback;
  g_showTipContext = context;
}

void RunShowTipCallback() {
  ShowTipCallback callback = nullptr;
  void* context = nullptr;
  {
    std::lock_guard guard(g_lock);
    callback = g_showTipCallback;
    context = g_showTipContext;
  }
  // Outside the lock: the callback may well call into the doubles again.
  if (callback != nullptr) callback(context);
}

void SetPreviewCallback(ShowTipCallback callback, void* context) {
  std::lock_guard guard(g_lock);
  g_previewCallback = callback;
  g_previewContext = context;
}

void RunPreviewCallback() {
  ShowTipCallback callback = nullptr;
  void* context = nullptr;
  {
    std::lock_guard guard(g_lock);
    callback = g_previewCallback;
    context = g_previewContext;
  }
  if (callback != nullptr) callback(context);
}

BSTR NewTipText(LONG tipNumber, bool& failed) {
  std::lock_guard guard(g_lock);
  failed = false;
  if (g_nullTipText) return nullptr;
  std::wstring text = g_tipText ? *g_tipText : L"Tip " + std::to_wstring(tipNumber);
  BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  failed = copy == nullptr;
  return copy;
}

void SetTipText(const wchar_t* text) {
  std::lock_guard guard(g_lock);
  g_nullTipText = text == nullptr;
  if (text != nullptr) g_tipText = text;
}

void ObjectCreated() { InterlockedIncrement(&g_liveObjects); }
void ObjectDestroyed() { InterlockedDecrement(&g_liveObjects); }
LONG LiveObjects() { return InterlockedCompareExchange(&g_liveObjects, 0, 0); }

void ResetState() {
  std::lock_guard guard(g_lock);
  g_log.clear();
  g_results.clear();
  g_dialogResult = 0;
  g_showTipCallback = nullptr;
  g_showTipContext = nullptr;
  g_previewCallback = nullptr;
  g_previewContext = nullptr;
  g_tipText.reset();
  g_nullTipText = false;
}

std::wstring QuoteBstr(BSTR text) {
  if (text == nullptr) return L"null";
  return L"\"" + std::wstring(text, SysStringLen(text)) + L"\"";
}

std::wstring PointerText(const void* pointer) {
  wchar_t buffer[32];
  swprintf(buffer, 32, L"0x%llx",
           static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(pointer)));
  return buffer;
}

}  // namespace host_doubles
