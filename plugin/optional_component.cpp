#include "plugin/optional_component.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>

#include "host_interfaces_h.h"
#include "com/com_ptr.h"

namespace {

// -1 until probed, then 0 (absent) or 1 (present) for the rest of the
// process. Shared by every format object of the module.
std::atomic<int> componentAvailable{-1};

}  // namespace

bool OptionalComponentInstalled() noexcept {
  const int known = componentAvailable.load();
  if (known >= 0) return known == 1;

  ComPtr<IUnknown> instance;
  const HRESULT hr = CoCreateInstance(CLSID_OrvOptionalComponent, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IUnknown, instance.put_void());
  const bool installed = SUCCEEDED(hr) && instance;
  instance.Reset();  // only its existence matters
  componentAvailable.store(installed ? 1 : 0);
  return installed;
}
