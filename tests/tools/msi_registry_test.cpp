// The installer package's registry entries for what the real module files
// do not show: method counts through a derived interface, local
// interfaces, text that Windows Installer would read as a property, and
// scripts whose effect the package cannot write.
#include <gtest/gtest.h>

#include <string>

#include "tools/msi_registry/idl_entries.h"
#include "tools/msi_registry/script_entries.h"
#include "tools/msi_registry/wix_include.h"

namespace {

using msi_registry::RegistryEntries;

std::string Value(const RegistryEntries& entries, const std::string& key) {
  for (const auto& e : entries) {
    if (e.key == key && e.name.empty()) return e.text;
  }
  return "(none)";
}

TEST(MsiRegistry, CountsInheritedMethodsAndSkipsLocalInterfaces) {
  const char idl[] = R"(
    [object, uuid(11111111-1111-1111-1111-111111111111)] interface IBase : IUnknown {
      HRESULT One([in] int a);  // a comment; with a semicolon
      HRESULT Two(void);
    }
    [object, local, uuid(22222222-2222-2222-2222-222222222222)] interface ILocal : IBase { HRESULT Three(); }
    [object, uuid(33333333-3333-3333-3333-333333333333)] interface IDerived : ILocal { HRESULT Four(); }
    [uuid(44444444-4444-4444-4444-444444444444), version(2.10), helpstring("Lib [x]"), hidden] library L {}
  )";
  RegistryEntries entries;
  std::string error;
  ASSERT_TRUE(msi_registry::AppendIdlEntries(idl, &entries, &error)) << error;
  EXPECT_EQ("5", Value(entries, "Interface\\{11111111-1111-1111-1111-111111111111}\\NumMethods"));
  EXPECT_EQ("(none)", Value(entries, "Interface\\{22222222-2222-2222-2222-222222222222}"));
  EXPECT_EQ("7", Value(entries, "Interface\\{33333333-3333-3333-3333-333333333333}\\NumMethods"));
  EXPECT_EQ("{11111111-1111-1111-1111-111111111111}",
            Value(entries, "Interface\\{33333333-3333-3333-3333-333333333333}\\ProxyStubClsid32"));
  EXPECT_EQ("12", Value(entries, "TypeLib\\{44444444-4444-4444-4444-444444444444}\\2.a\\FLAGS"));
  EXPECT_EQ("Lib [x]", Value(entries, "TypeLib\\{44444444-4444-4444-4444-444444444444}\\2.a"));
}

TEST(MsiRegistry, WritesTextLiterallyAndTheModuleAsFormattedText) {
  RegistryEntries entries;
  std::string error;
  ASSERT_TRUE(msi_registry::AppendScriptEntries(
      "HKCR { NoRemove CLSID { {A} = s 'It''s [x] & {y}' { InprocServer32 = s '%MODULE%' } } }", &entries, &error))
      << error;
  const std::string wxi = msi_registry::WixInclude(entries, "[#m.dll]", "[F]");
  EXPECT_NE(std::string::npos, wxi.find("Key=\"CLSID\\{A}\" Value=\"It's [\\[]x[\\]] &amp; [\\{]y[\\}]\""));
  EXPECT_NE(std::string::npos, wxi.find("Key=\"CLSID\\{A}\\InprocServer32\" Value=\"[#m.dll]\""));
}

TEST(MsiRegistry, RefusesWhatThePackageCannotWrite) {
  struct Case {
    const char* script;
    const char* reason;
  };
  const Case cases[] = {
      {"HKCR { Empty }", "created empty"},
      {"HKCC { Key = s 'v' }", "HKCC"},
      {"HKCR { Key = s '\xe9' }", "not ASCII"},
      {"HKCR { Key = s '%UNKNOWN%' }", "replacement"},
      {"HKCR { Key = s 'v' ", "parse"},
  };
  for (const Case& c : cases) {
    RegistryEntries entries;
    std::string error;
    EXPECT_FALSE(msi_registry::AppendScriptEntries(c.script, &entries, &error)) << c.script;
    EXPECT_NE(std::string::npos, error.find(c.reason)) << c.script << ": " << error;
  }
  RegistryEntries twice = {{"HKCR", "K", "", "a"}, {"HKCR", "k", "", "b"}};
  std::string error;
  EXPECT_FALSE(msi_registry::MergeRepeats(&twice, &error));
}

}  // namespace
