// The host's preview provider and the inner preview object it hands out.
#pragma once

#include <windows.h>

struct IOrvPreviewProvider;

namespace host_doubles {

HRESULT CreatePreviewProvider(IOrvPreviewProvider** provider);
// Reference count of the index-th inner preview since the last reset.
bool InnerPreviewRefCount(DWORD index, LONG& count);
// Forgets the inner previews handed out so far; frees those no longer
// referenced.
void ForgetInnerPreviews();

}  // namespace host_doubles
