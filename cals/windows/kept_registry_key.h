// A registry key that the process opens once and keeps, so that a reader
// of one of its values pays for one query instead of an open, the query
// and a close. Every read still asks the registry, so a changed value is
// seen at once.
//
// The key may have been deleted (and created again) since it was opened,
// in which case the kept handle answers with an error for ever: when a
// query fails for any reason, the kept key is replaced by a fresh open and
// the value asked once more, so a reader sees what a reader opening the
// key afresh would see.
//
// Safe for many threads: the handle is shared read-only, a replacement
// never closes a handle that another thread still queries (the last user
// closes it), and a key is opened again only once for each failure that
// several threads see at the same time.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

#include "cals/windows/registry_calls.h"

namespace cals {

class KeptRegistryKey {
 public:
  KeptRegistryKey(RegistryCalls& calls, HKEY parent, const wchar_t* subKey, REGSAM access)
      : calls_(calls), parent_(parent), subKey_(subKey), access_(access) {}
  KeptRegistryKey(const KeptRegistryKey&) = delete;
  KeptRegistryKey& operator=(const KeptRegistryKey&) = delete;

  // As Registry::QueryString on the key.
  bool QueryString(const wchar_t* valueName, std::wstring& text);

  // Lets the kept key go; the next read opens it again.
  void Close();

 private:
  class Handle;
  using Shared = std::shared_ptr<const Handle>;

  // The kept key, or null when none is kept.
  Shared Current();
  // A key that `failed` did not answer, opened afresh unless another
  // thread has done so already; `opened` says whether this call opened it.
  Shared Replace(const Shared& failed, bool& opened);

  RegistryCalls& calls_;
  const HKEY parent_;
  const wchar_t* const subKey_;
  const REGSAM access_;
  std::mutex mutex_;
  Shared key_;
};

}  // namespace cals
