// The host's tip-text and tip-dialog components and its optional outside
// class, as doubles that log their calls.
#pragma once

#include <windows.h>

namespace host_doubles {

HRESULT CreateTipText(REFIID iid, void** out);
HRESULT CreateTipDialog(REFIID iid, void** out);
HRESULT CreateOptionalComponent(REFIID iid, void** out);

}  // namespace host_doubles
