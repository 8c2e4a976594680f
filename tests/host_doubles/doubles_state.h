// What the doubles share: the call log, the results chosen by the test,
// the dialog result and tip text, and the count of live objects.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace host_doubles {

void AppendLog(const std::wstring& line);
std::wstring ReadLog();

// S_OK unless the test chose another result for the operation.
HRESULT ResultOf(DWORD operation);
void SetResult(DWORD operation, HRESULT result);

LONG DialogResult();
void SetDialogResult(LONG result);

// Called by ShowTip while the "dialog" is open; none after a reset.
using ShowTipCallback = void(WINAPI*)(void* context);
void SetShowTipCallback(ShowTipCallback callback, void* context);
void RunShowTipCallback();
// Called by every operation of the inner preview, after it was logged, as
// if the host did something during the call; none after a reset.
void SetPreviewCallback(ShowTipCallback callback, void* context);
void RunPreviewCallback();

// A new BSTR with the tip text for `tipNumber`; null when the test asked
// for a null text. Sets `failed` when the text could not be allocated.
BSTR NewTipText(LONG tipNumber, bool& failed);
void SetTipText(const wchar_t* text);

void ObjectCreated();
void ObjectDestroyed();
LONG LiveObjects();

// Back to the initial settings, with an empty log.
void ResetState();

// Formatting of log arguments.
std::wstring QuoteBstr(BSTR text);
std::wstring PointerText(const void* pointer);

}  // namespace host_doubles
