// Self-registration of the built DLL: what DllRegisterServer records under
// HKEY_CLASSES_ROOT, what DllUnregisterServer takes away, and regsvr32.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>
#include <vector>

#include "base/version.h"
#include "com/com_ptr.h"
#include "tests/module/class_cases.h"
#include "tests/module/loaded_module.h"
#include "tests/module/registry_reader.h"

namespace {

using module_test::ClassCase;
using module_test::GuidText;
using module_test::KeyExists;
using module_test::LoadedModule;
using module_test::ReadString;
using module_test::SubkeyNames;

std::wstring ClassKey(const ClassCase& c) { return L"CLSID\\" + GuidText(*c.clsid); }
std::wstring ProgId(const ClassCase& c) { return std::wstring(L"Mirotex.") + c.progId + L".1"; }
std::wstring IndependentProgId(const ClassCase& c) { return std::wstring(L"Mirotex.") + c.progId; }
std::wstring TypeLibKey() { return L"TypeLib\\" + GuidText(LIBID_MIROTEXLib) + L"\\1.0"; }
std::wstring InterfaceKey(REFIID iid) { return L"Interface\\" + GuidText(iid); }

// Everything registration writes, for comparing whole states.
std::wstring DumpRegistration() {
  std::wstring out;
  for (const ClassCase& c : module_test::kClasses) {
    out += module_test::DumpTree(HKEY_CLASSES_ROOT, ClassKey(c));
    out += module_test::DumpTree(HKEY_CLASSES_ROOT, ProgId(c));
    out += module_test::DumpTree(HKEY_CLASSES_ROOT, IndependentProgId(c));
  }
  for (const IID* iid : {&IID_ICalsPreview, &IID_ICalsFormat, &IID_ICalsFile}) {
    out += module_test::DumpTree(HKEY_CLASSES_ROOT, InterfaceKey(*iid));
  }
  out += module_test::DumpTree(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidText(IID_ICalsPreview));
  out += module_test::DumpTree(HKEY_CLASSES_ROOT, TypeLibKey());
  return out;
}

bool AnythingRegistered() {
  for (const ClassCase& c : module_test::kClasses) {
    if (KeyExists(HKEY_CLASSES_ROOT, ClassKey(c)) || KeyExists(HKEY_CLASSES_ROOT, ProgId(c)) ||
        KeyExists(HKEY_CLASSES_ROOT, IndependentProgId(c))) {
      return true;
    }
  }
  return KeyExists(HKEY_CLASSES_ROOT, InterfaceKey(IID_ICalsFile)) ||
         KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidText(IID_ICalsPreview)) ||
         KeyExists(HKEY_CLASSES_ROOT, TypeLibKey());
}

// Each test starts and ends with the module unregistered.
class Registration : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module.loaded());
    module.Unregister();
    ASSERT_FALSE(AnythingRegistered());
  }
  void TearDown() override { module.Unregister(); }

  testing_support::ComApartment apartment_;
  LoadedModule module;
};

TEST_F(Registration, RecordsTheClassesWithProgIdsServerAndThreadingModel) {
  ASSERT_EQ(S_OK, module.Register());
  const std::wstring path = module.path();
  for (const ClassCase& c : module_test::kClasses) {
    SCOPED_TRACE(c.name);
    const std::wstring description = std::wstring(c.progId) + L" Class";
    const std::wstring clsid = GuidText(*c.clsid);
    EXPECT_EQ(description, ReadString(HKEY_CLASSES_ROOT, ProgId(c)));
    EXPECT_EQ(clsid, ReadString(HKEY_CLASSES_ROOT, ProgId(c) + L"\\CLSID"));
    EXPECT_EQ(description, ReadString(HKEY_CLASSES_ROOT, IndependentProgId(c)));
    EXPECT_EQ(clsid, ReadString(HKEY_CLASSES_ROOT, IndependentProgId(c) + L"\\CLSID"));
    EXPECT_EQ(ProgId(c), ReadString(HKEY_CLASSES_ROOT, IndependentProgId(c) + L"\\CurVer"));
    EXPECT_EQ(description, ReadString(HKEY_CLASSES_ROOT, ClassKey(c)));
    EXPECT_EQ(ProgId(c), ReadString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\ProgID"));
    EXPECT_EQ(IndependentProgId(c), ReadString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\VersionIndependentProgID"));
    EXPECT_EQ(path, ReadString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\InprocServer32"));
    EXPECT_EQ(c.threadingModel, ReadString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(GuidText(LIBID_MIROTEXLib), ReadString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\TypeLib"));
  }
}

TEST_F(Registration, RecordsTheTypeLibraryAndTheProxyStub) {
  ASSERT_EQ(S_OK, module.Register());
  const std::wstring path = module.path();
  EXPECT_EQ(L"Mirotex 1.0 Type Library", ReadString(HKEY_CLASSES_ROOT, TypeLibKey()));
  EXPECT_EQ(path, ReadString(HKEY_CLASSES_ROOT, TypeLibKey() + L"\\0\\win64"));
  // The folder as Windows Installer writes it, closing backslash included.
  EXPECT_EQ(path.substr(0, path.rfind(L'\\') + 1), ReadString(HKEY_CLASSES_ROOT, TypeLibKey() + L"\\HELPDIR"));

  const std::wstring proxyStubClsid = GuidText(IID_ICalsPreview);
  for (const IID* iid : {&IID_ICalsPreview, &IID_ICalsFormat, &IID_ICalsFile}) {
    SCOPED_TRACE(GuidText(*iid));
    EXPECT_EQ(proxyStubClsid, ReadString(HKEY_CLASSES_ROOT, InterfaceKey(*iid) + L"\\ProxyStubClsid32"));
    EXPECT_EQ(L"3", ReadString(HKEY_CLASSES_ROOT, InterfaceKey(*iid) + L"\\NumMethods"));
  }
  EXPECT_EQ(path, ReadString(HKEY_CLASSES_ROOT, L"CLSID\\" + proxyStubClsid + L"\\InprocServer32"));
}

TEST_F(Registration, RegisteredClassesAreCreatableByProgId) {
  ASSERT_EQ(S_OK, module.Register());
  for (const ClassCase& c : module_test::kClasses) {
    SCOPED_TRACE(c.name);
    for (const std::wstring& progId : {ProgId(c), IndependentProgId(c)}) {
      CLSID clsid = GUID_NULL;
      ASSERT_EQ(S_OK, CLSIDFromProgID(progId.c_str(), &clsid));
      EXPECT_TRUE(IsEqualCLSID(*c.clsid, clsid));
      ComPtr<IUnknown> object;
      ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, *c.ownInterface, object.put_void()));
    }
  }
  CoFreeUnusedLibraries();
  EXPECT_EQ(S_OK, module.CanUnloadNow());
}

TEST_F(Registration, UnregisterRemovesEverythingButTheClsidKey) {
  ASSERT_EQ(S_OK, module.Register());
  ASSERT_EQ(S_OK, module.Unregister());
  EXPECT_FALSE(AnythingRegistered());
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
  CLSID clsid;
  EXPECT_NE(S_OK, CLSIDFromProgID(L"Mirotex.CalsFile.1", &clsid));
}

TEST_F(Registration, RegisteringTwiceLeavesOneSet) {
  ASSERT_EQ(S_OK, module.Register());
  const std::wstring once = DumpRegistration();
  // A left-over of some older registration below a class key.
  HKEY stale = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CLASSES_ROOT, (ClassKey(module_test::kClasses[0]) + L"\\Stale").c_str(),
                                         &stale));
  RegCloseKey(stale);
  ASSERT_EQ(S_OK, module.Register());
  EXPECT_EQ(once, DumpRegistration());
}

TEST_F(Registration, UnregisteringAnUnregisteredModuleAnswersWhatTheTypeLibraryUnregistrationSays) {
  const HRESULT expected = UnRegisterTypeLib(LIBID_MIROTEXLib, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
  EXPECT_EQ(expected, module.Unregister());
  EXPECT_FALSE(AnythingRegistered());
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
}

TEST_F(Registration, ForeignSubkeyKeepsTheClassKeyUntilTheNextRegistration) {
  const ClassCase& c = module_test::kClasses[1];
  ASSERT_EQ(S_OK, module.Register());
  HKEY foreign = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CLASSES_ROOT, (ClassKey(c) + L"\\Foreign").c_str(), &foreign));
  RegCloseKey(foreign);

  ASSERT_EQ(S_OK, module.Unregister());
  EXPECT_EQ(std::vector<std::wstring>{L"Foreign"}, SubkeyNames(HKEY_CLASSES_ROOT, ClassKey(c)));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ProgId(c)));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(module_test::kClasses[0])));

  ASSERT_EQ(S_OK, module.Register());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\Foreign"));
  ASSERT_EQ(S_OK, module.Unregister());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClassKey(c)));
}

TEST_F(Registration, ModulePathWithASingleQuoteIsRecordedAsItReads) {
  testing_support::TempDir dir;
  const std::wstring folder = dir.File(L"O'Brien's plug-ins");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring copy = folder + L"\\mirotex.dll";
  ASSERT_TRUE(CopyFileW(module_test::BuiltDllPath().c_str(), copy.c_str(), FALSE));
  {
    LoadedModule quoted(copy);
    ASSERT_TRUE(quoted.loaded());
    ASSERT_EQ(S_OK, quoted.Register());
    for (const ClassCase& c : module_test::kClasses) {
      EXPECT_EQ(quoted.path(), ReadString(HKEY_CLASSES_ROOT, ClassKey(c) + L"\\InprocServer32"));
    }
    EXPECT_NE(std::wstring::npos, quoted.path().find(L"O'Brien's plug-ins\\mirotex.dll"));
    EXPECT_EQ(quoted.path(), ReadString(HKEY_CLASSES_ROOT, TypeLibKey() + L"\\0\\win64"));
    ASSERT_EQ(S_OK, quoted.Unregister());
  }
  EXPECT_FALSE(AnythingRegistered());
}

TEST_F(Registration, ModulePathThatFillsThePathBufferIsRefusedBeforeAnythingIsWritten) {
  testing_support::TempDir dir;
  std::wstring folder = dir.path();
  while (folder.size() < MAX_PATH) {
    folder += L"\\a-rather-long-folder-name-for-the-path-limit";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
  }
  const std::wstring copy = L"\\\\?\\" + folder + L"\\mirotex.dll";
  ASSERT_TRUE(CopyFileW(module_test::BuiltDllPath().c_str(), copy.c_str(), FALSE));
  LoadedModule deep(copy);
  if (!deep.loaded()) GTEST_SKIP() << "this platform does not load a DLL from a path that long";
  ASSERT_GE(deep.path().size(), static_cast<std::size_t>(MAX_PATH));
  EXPECT_EQ(static_cast<HRESULT>(0x8007007A), deep.Register());
  EXPECT_FALSE(AnythingRegistered());
  EXPECT_EQ(static_cast<HRESULT>(0x8007007A), deep.Unregister());
}

TEST_F(Registration, VersionResourceMarksTheDllSelfRegistering) {
  const std::wstring path = module.path();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_NE(0u, size);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\OLESelfRegister",
                             reinterpret_cast<void**>(&value), &length));
  ASSERT_NE(nullptr, value);
  EXPECT_EQ(std::wstring(), std::wstring(value));
}

TEST_F(Registration, VersionResourceCarriesTheProjectVersion) {
  const std::wstring path = module.path();
  DWORD ignored = 0;
  std::vector<BYTE> data(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const DWORD ms = MAKELONG(MIROTEX_VERSION_MINOR, MIROTEX_VERSION_MAJOR);
  const DWORD ls = MAKELONG(MIROTEX_VERSION_TWEAK, MIROTEX_VERSION_PATCH);
  EXPECT_EQ(std::pair(ms, ls), std::pair(fixed->dwFileVersionMS, fixed->dwFileVersionLS));
  EXPECT_EQ(std::pair(ms, ls), std::pair(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
  for (const wchar_t* name : {L"FileVersion", L"ProductVersion"}) {
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), (std::wstring(L"\\StringFileInfo\\040904B0\\") + name).c_str(),
                               reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(std::wstring(L"" MIROTEX_VERSION_TEXT), std::wstring(text)) << name;
  }
}

// regsvr32 runs the exports in a process of its own.
DWORD RunRegsvr32(const std::wstring& arguments) {
  wchar_t systemDir[MAX_PATH];
  GetSystemDirectoryW(systemDir, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(systemDir) + L"\\regsvr32.exe\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return static_cast<DWORD>(-1);
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD exitCode = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

TEST_F(Registration, Regsvr32RegistersAndUnregisters) {
  const std::wstring quotedPath = L"\"" + module.path() + L"\"";
  ASSERT_EQ(0u, RunRegsvr32(L"/s " + quotedPath));
  EXPECT_EQ(module.path(), ReadString(HKEY_CLASSES_ROOT, ClassKey(module_test::kClasses[2]) + L"\\InprocServer32"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, TypeLibKey()));
  ASSERT_EQ(0u, RunRegsvr32(L"/u /s " + quotedPath));
  EXPECT_FALSE(AnythingRegistered());
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
}

}  // namespace
