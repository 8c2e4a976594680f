// The type library inside the DLL (resource TYPELIB 1).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "convert/windows/ole_handles.h"
#include "com/com_ptr.h"
#include "tests/module/class_cases.h"
#include "tests/module/loaded_module.h"

namespace {

struct Documentation {
  std::wstring name;
  std::wstring doc;
  bool hasHelpFile = false;
};

Documentation Document(ITypeLib* library, INT index) {
  UniqueBstr name;
  UniqueBstr doc;
  UniqueBstr helpFile;
  EXPECT_EQ(S_OK, library->GetDocumentation(index, name.put(), doc.put(), nullptr, helpFile.put()));
  return {name.get() ? name.get() : L"", doc.get() ? doc.get() : L"", helpFile.get() != nullptr};
}

class TypeLibrary : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, LoadTypeLib(module_test::BuiltDllPath().c_str(), library.put())); }
  ComPtr<ITypeLib> library;
};

TEST_F(TypeLibrary, IsMirotexLib10WithItsHelpString) {
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
  EXPECT_TRUE(IsEqualGUID(LIBID_MIROTEXLib, attributes->guid));
  EXPECT_EQ(1, attributes->wMajorVerNum);
  EXPECT_EQ(0, attributes->wMinorVerNum);
  EXPECT_EQ(SYS_WIN64, attributes->syskind);
  library->ReleaseTLibAttr(attributes);
  const Documentation doc = Document(library.get(), -1);
  EXPECT_EQ(L"MIROTEXLib", doc.name);
  EXPECT_EQ(L"Mirotex 1.0 Type Library", doc.doc);
  EXPECT_FALSE(doc.hasHelpFile);
}

TEST_F(TypeLibrary, DeclaresEachCreatableCoclassWithItsPlainInterface) {
  for (const module_test::ClassCase& c : module_test::kClasses) {
    SCOPED_TRACE(c.name);
    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*c.clsid, coclass.put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
    EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
    EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FCANCREATE);
    EXPECT_EQ(1, attributes->cImplTypes);
    coclass->ReleaseTypeAttr(attributes);
    UniqueBstr name;
    UniqueBstr doc;
    ASSERT_EQ(S_OK, coclass->GetDocumentation(MEMBERID_NIL, name.put(), doc.put(), nullptr, nullptr));
    EXPECT_EQ(std::wstring(c.progId), name.get());
    EXPECT_EQ(std::wstring(c.progId) + L" Class", doc.get());

    HREFTYPE reference = 0;
    ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
    ComPtr<ITypeInfo> interfaceInfo;
    ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, interfaceInfo.put()));
    ASSERT_EQ(S_OK, interfaceInfo->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualIID(*c.ownInterface, attributes->guid));
    EXPECT_EQ(TKIND_INTERFACE, attributes->typekind);
    EXPECT_EQ(0, attributes->cFuncs);
    EXPECT_EQ(0, attributes->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE));
    interfaceInfo->ReleaseTypeAttr(attributes);
    ASSERT_EQ(S_OK, interfaceInfo->GetDocumentation(MEMBERID_NIL, name.put(), doc.put(), nullptr, nullptr));
    EXPECT_EQ(L"I" + std::wstring(c.progId), name.get());
    EXPECT_EQ(L"I" + std::wstring(c.progId) + L" Interface", doc.get());
  }
}

TEST_F(TypeLibrary, ListsTheCoclassesInClassTableOrder) {
  std::wstring coclasses;
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    TYPEKIND kind;
    ASSERT_EQ(S_OK, library->GetTypeInfoType(i, &kind));
    if (kind == TKIND_COCLASS) coclasses += Document(library.get(), static_cast<INT>(i)).name + L" ";
  }
  EXPECT_EQ(L"CalsFormat CalsFile CalsPreview ", coclasses);
}

}  // namespace
