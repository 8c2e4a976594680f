#include "tools/calsvar/files/file_arguments.h"

#include <windows.h>

#include <algorithm>

#include "base/unique_handle.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// FindFirstFileW fails with INVALID_HANDLE_VALUE, which is not closed.
struct FindCloser {
  void operator()(HANDLE find) const {
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
  }
};

void CollectFolder(const std::wstring& folder, wchar_t separator, const ExtensionFilter& filter,
                   std::vector<std::wstring>& out) {
  const std::wstring prefix =
      folder.empty() || folder.back() == L'/' || folder.back() == L'\\' ? folder : folder + separator;
  WIN32_FIND_DATAW data;
  const UniqueHandle<HANDLE, FindCloser> find(FindFirstFileW((prefix + L"*").c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return;
  std::vector<std::wstring> files;
  std::vector<std::wstring> folders;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      // Links and junctions to folders are not followed, as find does not
      // follow them: a link back up the tree would never end, and one
      // elsewhere would reach files nobody named.
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
      folders.push_back(prefix + name);
    } else if (filter.Matches(ToUtf16(name))) {
      files.push_back(prefix + name);
    }
  } while (FindNextFileW(find.get(), &data));
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  out.insert(out.end(), files.begin(), files.end());
  for (const std::wstring& sub : folders) CollectFolder(sub, separator, filter, out);
}

// The separator the person uses: the one in the path, else "/" when the
// environment variable CALSVAR_SEPARATOR says so (./calsvar does, for
// shells on Unix), else "\\".
wchar_t SeparatorFor(const std::wstring& path) {
  if (path.find(L'\\') != std::wstring::npos) return L'\\';
  if (path.find(L'/') != std::wstring::npos) return L'/';
  wchar_t preferred[4] = {};
  const DWORD length = GetEnvironmentVariableW(L"CALSVAR_SEPARATOR", preferred, 4);
  return length == 1 && preferred[0] == L'/' ? L'/' : L'\\';
}

}  // namespace

FileArguments ExpandFileArguments(const std::vector<std::u16string>& operands, const ExtensionFilter& filter) {
  FileArguments result;
  for (const std::u16string& operand : operands) {
    const std::wstring path = ToWide(operand);
    if (!IsFolder(path)) {
      result.files.push_back(path);
      continue;
    }
    result.namedFolder = true;
    CollectFolder(path, SeparatorFor(path), filter, result.files);
  }
  return result;
}

}  // namespace calsvar
