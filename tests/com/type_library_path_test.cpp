#include <gtest/gtest.h>

#include "com/type_library_path.h"

TEST(TypeLibraryPath, ReplacesTheFileNamesExtensionOrAppendsOne) {
  EXPECT_EQ(L"C:\\dir\\mirotex.tlb", TypeLibraryPathFor(L"C:\\dir\\mirotex.dll"));
  EXPECT_EQ(L"C:\\dir\\mirotex.v2.tlb", TypeLibraryPathFor(L"C:\\dir\\mirotex.v2.dll"));
  // A point in a folder name is not an extension.
  EXPECT_EQ(L"C:\\dir.d\\mirotex.tlb", TypeLibraryPathFor(L"C:\\dir.d\\mirotex"));
  EXPECT_EQ(L"mirotex.tlb", TypeLibraryPathFor(L"mirotex"));
  EXPECT_EQ(L"C:\\dir\\.tlb", TypeLibraryPathFor(L"C:\\dir\\.dll"));
}
