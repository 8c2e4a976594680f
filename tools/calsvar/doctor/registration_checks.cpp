// Registration as a 64-bit host meets it: the classes, their servers,
// threading models and ProgIDs, the type library and the proxy/stub.
#include <windows.h>

#include <map>
#include <span>

#include "mirotex_h.h"
#include "tools/calsvar/doctor/doctor_checks.h"
#include "tools/calsvar/doctor/pe_image.h"
#include "tools/calsvar/doctor/registry_reading.h"
#include "tools/calsvar/files/file_reading.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/plugin/dll_version.h"

namespace calsvar {
namespace {

constexpr const char* kComEntryPoints[] = {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer",
                                           "DllUnregisterServer"};
// Far more than any plug-in DLL: the headers are read from a whole file.
constexpr std::size_t kLargestDll = 64u << 20;

bool SameText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::string Quoted(const std::wstring& path) { return "\"" + Utf8(path) + "\""; }

std::string ClassKeyText(const ExpectedClass& c) { return "HKEY_CLASSES_ROOT\\CLSID\\" + Utf8(c.clsid); }

// Why the file cannot serve as the host's in-process server, or empty text.
std::string WhyNotA64BitComServer(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    return Quoted(path) + " does not exist (" + DescribeHresult(hr) + "): a moved or deleted program folder";
  }
  const cals::UniqueFile file = OpenForReading(path);
  std::string bytes;
  if (file.get() == INVALID_HANDLE_VALUE || !ReadUpTo(file.get(), bytes, kLargestDll)) {
    const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    return Quoted(path) + " cannot be read (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")";
  }
  std::string error;
  const auto image =
      ReadPeImage(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), error);
  if (!image) return Quoted(path) + ": " + error;
  if (image->machine != kMachineAmd64 || !image->pe32Plus) {
    return Quoted(path) + " is built for " + MachineName(image->machine) + ": a 64-bit host cannot load it";
  }
  if (!image->dll) return Quoted(path) + " is a program, not a DLL";
  std::string missing;
  for (const char* entry : kComEntryPoints) {
    bool found = false;
    for (const std::string& name : image->exports) found = found || name == entry;
    if (!found) missing += (missing.empty() ? "" : ", ") + std::string(entry);
  }
  if (!missing.empty()) return Quoted(path) + " does not export " + missing + ": it is not the plug-in's COM server";
  return {};
}

// The file's identity, so that two spellings of one path count as one.
std::optional<std::pair<DWORD, ULONGLONG>> FileIdentity(const std::wstring& path) {
  const cals::UniqueFile file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (file.get() == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return std::pair(info.dwVolumeSerialNumber, (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  if (SameText(a, b)) return true;
  const auto idA = FileIdentity(a);
  const auto idB = FileIdentity(b);
  return idA && idB && *idA == *idB;
}

std::string VersionOf(const std::wstring& path) {
  std::string error;
  return DllFileVersion(path, error).value_or("of unknown version");
}

void CheckProgIds(const ExpectedClass& c, const std::string& fix, DoctorReport& report) {
  const std::string checked = Utf8(c.name) + ": ProgIDs";
  std::string problems;
  for (const std::u16string& progId : {c.versionIndependentProgId, c.progId}) {
    const std::optional<std::wstring> clsid = ReadRegistryText(HKEY_CLASSES_ROOT, ToWide(progId) + L"\\CLSID", L"");
    if (!clsid) {
      problems += (problems.empty() ? "" : "; ") + Utf8(progId) + " is not registered";
    } else if (!SameText(*clsid, ToWide(c.clsid))) {
      problems += (problems.empty() ? "" : "; ") + Utf8(progId) + " leads to " + Utf8(*clsid) + ", not to " +
                  Utf8(c.clsid);
    }
  }
  if (problems.empty()) {
    report.Ok(checked, Utf8(c.versionIndependentProgId) + " and " + Utf8(c.progId) + " lead to " + Utf8(c.clsid));
  } else {
    report.Error(checked, problems + ": " + fix);
  }
}

void CheckThreadingModel(const ExpectedClass& c, const std::wstring& serverKey, const std::string& fix,
                         DoctorReport& report) {
  const std::string checked = Utf8(c.name) + ": threading model";
  const auto model = ReadRegistryText(HKEY_CLASSES_ROOT, serverKey, L"ThreadingModel");
  if (model && SameText(*model, ToWide(c.threadingModel))) {
    report.Ok(checked, Utf8(*model));
  } else {
    report.Error(checked, (model ? "\"" + Utf8(*model) + "\"" : std::string("none")) + ", but the DLL registers \"" +
                              Utf8(c.threadingModel) + "\": " + fix);
  }
}

// The DLL every class names; checked once per path.
void CheckServer(const ExpectedClass& c, const std::wstring& serverKey, const std::string& fix,
                 std::map<std::wstring, std::string>& verdicts, std::vector<std::wstring>& servers,
                 DoctorReport& report) {
  const std::string checked = Utf8(c.name) + ": in-process server";
  const std::optional<std::wstring> path = ReadRegistryText(HKEY_CLASSES_ROOT, serverKey, L"");
  if (!path || path->empty()) {
    report.Error(checked, "HKEY_CLASSES_ROOT\\" + Utf8(serverKey) + " names no DLL: " + fix);
    return;
  }
  servers.push_back(*path);
  auto verdict = verdicts.find(*path);
  if (verdict == verdicts.end()) verdict = verdicts.emplace(*path, WhyNotA64BitComServer(*path)).first;
  if (verdict->second.empty()) {
    report.Ok(checked, Quoted(*path) + ", a 64-bit DLL that exports the four COM entry points");
  } else {
    report.Error(checked, verdict->second + ": " + fix);
  }
}

// The DLL the classes name against the one meant: beside calsvar.exe, or
// the one given with --dll.
void CheckProgramFolder(const DoctorSetup& setup, const std::vector<std::wstring>& servers, DoctorReport& report) {
  const std::string checked = "program folder";
  for (const std::wstring& other : servers) {
    if (!SameFile(other, servers.front())) {
      report.Error(checked, "the classes name different DLLs, " + Quoted(servers.front()) + " and " + Quoted(other) +
                                ": " + RegisterAdvice(setup));
      return;
    }
  }
  const std::wstring& registered = servers.front();
  if (GetFileAttributesW(registered.c_str()) == INVALID_FILE_ATTRIBUTES) return;  // named above
  const std::string meant = setup.dllNamed ? "the DLL given with --dll" : "mirotex.dll beside calsvar.exe";
  if (GetFileAttributesW(setup.intendedDll.c_str()) == INVALID_FILE_ATTRIBUTES) {
    if (setup.dllNamed) {
      report.Error(checked, "--dll names " + Quoted(setup.intendedDll) + ", which does not exist");
    } else {
      report.Ok(checked, "no mirotex.dll beside calsvar.exe; the host loads " + Quoted(registered));
    }
    return;
  }
  if (SameFile(registered, setup.intendedDll)) {
    report.Ok(checked, "the registered DLL is " + meant + ": " + Quoted(registered));
    return;
  }
  report.Warning(checked, "two program folders: the host loads " + Quoted(registered) + " (" + VersionOf(registered) +
                              "), while " + meant + " is " + Quoted(setup.intendedDll) + " (" +
                              VersionOf(setup.intendedDll) + "): register the one you mean, " +
                              RegisterAdvice(setup) + ", and delete the other program folder");
}

struct ModuleInterface {
  const char* name;
  const IID* iid;
};

}  // namespace

std::string RegisterAdvice(const DoctorSetup& setup) {
  return "run 'regsvr32 /s " + Quoted(setup.intendedDll) + "' as administrator";
}

void CheckRegistration(const DoctorSetup& setup, DoctorReport& report) {
  const std::string fix = "register the plug-in again: " + RegisterAdvice(setup);
  std::map<std::wstring, std::string> verdicts;
  std::vector<std::wstring> servers;
  for (const ExpectedClass& c : setup.classes) {
    const std::wstring classKey = L"CLSID\\" + ToWide(c.clsid);
    const std::string checked = Utf8(c.name) + ": class";
    if (!KeyExists(HKEY_CLASSES_ROOT, classKey, RegistryView::k64Bit)) {
      if (KeyExists(HKEY_CLASSES_ROOT, classKey, RegistryView::k32Bit)) {
        report.Error(checked, "registered only in the 32-bit view (WOW6432Node): a 32-bit host would see it; this "
                              "host is 64-bit: register the 64-bit DLL with the 64-bit regsvr32, " +
                                  RegisterAdvice(setup));
      } else {
        report.Error(checked, "not registered (no " + ClassKeyText(c) + "): " + RegisterAdvice(setup));
      }
      continue;
    }
    report.Ok(checked, ClassKeyText(c) + " in the 64-bit view");
    const std::wstring serverKey = classKey + L"\\InprocServer32";
    CheckServer(c, serverKey, fix, verdicts, servers, report);
    CheckThreadingModel(c, serverKey, fix, report);
    CheckProgIds(c, fix, report);
  }
  if (!servers.empty()) CheckProgramFolder(setup, servers, report);
}

void CheckTypeLibraryAndProxies(const DoctorSetup& setup, DoctorReport& report) {
  const std::string fix = "register the plug-in again: " + RegisterAdvice(setup);
  if (!setup.classes.empty()) {
    const std::wstring libKey = L"TypeLib\\" + ToWide(setup.classes.front().typeLibrary);
    const std::string checked = "type library";
    std::optional<std::wstring> file;
    std::wstring version;
    bool only32 = false;
    for (const std::wstring& v : SubkeyNames(HKEY_CLASSES_ROOT, libKey, RegistryView::k64Bit)) {
      file = ReadRegistryText(HKEY_CLASSES_ROOT, libKey + L"\\" + v + L"\\0\\win64", L"");
      only32 = only32 || KeyExists(HKEY_CLASSES_ROOT, libKey + L"\\" + v + L"\\0\\win32", RegistryView::k64Bit);
      version = v;
      if (file) break;
    }
    const std::string where = "HKEY_CLASSES_ROOT\\" + Utf8(libKey);
    if (!file) {
      report.Error(checked, where + (only32 ? " is registered for 32-bit programs only" : " is not registered") +
                                ": " + fix);
    } else if (GetFileAttributesW(file->c_str()) == INVALID_FILE_ATTRIBUTES) {
      report.Error(checked, where + "\\" + Utf8(version) + "\\0\\win64 names " + Quoted(*file) +
                                ", which does not exist: " + fix);
    } else {
      const auto title = ReadRegistryText(HKEY_CLASSES_ROOT, libKey + L"\\" + version, L"");
      report.Ok(checked, (title ? "\"" + Utf8(*title) + "\" " : std::string()) +
                             Utf8(setup.classes.front().typeLibrary) + " " + Utf8(version) + " in " + Quoted(*file));
    }
  }

  const ModuleInterface interfaces[] = {
      {"ICalsFormat", &IID_ICalsFormat}, {"ICalsFile", &IID_ICalsFile}, {"ICalsPreview", &IID_ICalsPreview}};
  for (const ModuleInterface& i : interfaces) {
    const std::string checked = std::string(i.name) + ": proxy/stub";
    const std::wstring key = L"Interface\\" + GuidText(*i.iid) + L"\\ProxyStubClsid32";
    const std::optional<std::wstring> proxyStub = ReadRegistryText(HKEY_CLASSES_ROOT, key, L"");
    if (!proxyStub) {
      report.Error(checked, "HKEY_CLASSES_ROOT\\" + Utf8(key) + " is missing: " + fix);
      continue;
    }
    const auto server = ReadRegistryText(HKEY_CLASSES_ROOT, L"CLSID\\" + *proxyStub + L"\\InprocServer32", L"");
    if (!server || GetFileAttributesW(server->c_str()) == INVALID_FILE_ATTRIBUTES) {
      report.Error(checked, "its proxy/stub class " + Utf8(*proxyStub) + " names " +
                                (server ? Quoted(*server) + ", which does not exist" : std::string("no DLL")) + ": " +
                                fix);
      continue;
    }
    report.Ok(checked, "proxy/stub class " + Utf8(*proxyStub) + " in " + Quoted(*server));
  }
}

}  // namespace calsvar
