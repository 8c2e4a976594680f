// The extension groups, with and without the host's optional outside class
// (supplied by host_doubles.dll and registered per test).
#include <gtest/gtest.h>

#include <string>

#include "plugin/cals_format.h"
#include "tests/host_doubles/host_doubles.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

constexpr wchar_t kMainList[] = L"ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst";
constexpr wchar_t kMainListWithCal[] = L"ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst,cal";
ExtensionGroup* const kPoisonGroups =
    reinterpret_cast<ExtensionGroup*>(static_cast<std::uintptr_t>(0xDEADBEEFDEADBEEFull));

// The groups as the host receives them; freed the way the host frees them.
struct Groups {
  LONG count = static_cast<LONG>(0xDEADBEEF);
  ExtensionGroup* groups = kPoisonGroups;
  ~Groups() {
    if (groups == kPoisonGroups || groups == nullptr) return;
    for (LONG i = 0; i < count; ++i) SysFreeString(groups[i].extensionList);
    CoTaskMemFree(groups);
  }
  std::wstring List(LONG i) const {
    return groups[i].extensionList ? std::wstring(groups[i].extensionList) : L"<null>";
  }
};

class CalsFormatExtensionGroupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(apartment_.result()));
    ASSERT_TRUE(doubles_.loaded());
    doubles_.Reset();
    // Whatever an earlier program left registered must not decide this one.
    doubles_.Unregister(kHostDoublesOptional);
  }
  void TearDown() override {
    doubles_.Unregister(kHostDoublesOptional);
    doubles_.Reset();
  }

  static ComPtr<IOrvFileFormat2> NewFormat() {
    ComPtr<IOrvFileFormat2> format;
    EXPECT_EQ(S_OK, CreateClassInstance<CCalsFormat>(nullptr, IID_IOrvFileFormat2, format.put_void()));
    return format;
  }

  testing_support::ComApartment apartment_;
  HostDoublesLibrary doubles_;
};

void ExpectGroup(const Groups& result, LONG index, const wchar_t* list, REFGUID id) {
  EXPECT_EQ(list, result.List(index));
  EXPECT_EQ(4, result.groups[index].groupKind);
  EXPECT_TRUE(IsEqualGUID(id, result.groups[index].groupId));
}

void ExpectOneGroupEndingInCal(const Groups& result) {
  ASSERT_EQ(1, result.count);
  ASSERT_NE(nullptr, result.groups);
  ExpectGroup(result, 0, kMainListWithCal, GUID_OrvMainExtensionGroup);
}

void ExpectCalInAGroupOfItsOwn(const Groups& result) {
  ASSERT_EQ(2, result.count);
  ASSERT_NE(nullptr, result.groups);
  ExpectGroup(result, 0, kMainList, GUID_OrvMainExtensionGroup);
  ExpectGroup(result, 1, L"cal", GUID_OrvCalExtensionGroup);
}

// The block is one allocation of the COM task allocator, sized for the
// records, so that the host's CoTaskMemFree releases exactly it.
void ExpectTaskAllocatorBlock(const Groups& result) {
  IMalloc* malloc = nullptr;
  ASSERT_EQ(S_OK, CoGetMalloc(1, &malloc));
  EXPECT_EQ(1, malloc->DidAlloc(result.groups));
  EXPECT_EQ(sizeof(ExtensionGroup) * static_cast<SIZE_T>(result.count), malloc->GetSize(result.groups));
  malloc->Release();
}

TEST_F(CalsFormatExtensionGroupsTest, WithoutTheOptionalClassCalJoinsTheMainGroup) {
  Groups result;
  ASSERT_EQ(S_OK, NewFormat()->GetExtensionGroups(&result.count, &result.groups));
  ExpectOneGroupEndingInCal(result);
  ExpectTaskAllocatorBlock(result);
}

TEST_F(CalsFormatExtensionGroupsTest, WithTheOptionalClassCalHasAGroupOfItsOwn) {
  ASSERT_EQ(S_OK, doubles_.Register(kHostDoublesOptional));
  Groups result;
  ASSERT_EQ(S_OK, NewFormat()->GetExtensionGroups(&result.count, &result.groups));
  ExpectCalInAGroupOfItsOwn(result);
  ExpectTaskAllocatorBlock(result);
  // Probed once, and the probe's instance is not kept.
  EXPECT_EQ(L"Optional.Create\nOptional.Destroy\n", doubles_.Log(L"Optional."));
  EXPECT_EQ(0, doubles_.LiveObjects());
}

TEST_F(CalsFormatExtensionGroupsTest, OptionalClassThatFailsToCreateCountsAsAbsent) {
  ASSERT_EQ(S_OK, doubles_.Register(kHostDoublesOptional));
  doubles_.SetResult(kHostDoublesOptionalCreate, E_OUTOFMEMORY);
  Groups result;
  ASSERT_EQ(S_OK, NewFormat()->GetExtensionGroups(&result.count, &result.groups));
  ExpectOneGroupEndingInCal(result);
}

TEST_F(CalsFormatExtensionGroupsTest, FirstAnswerAbsentHoldsForTheWholeProcess) {
  Groups before;
  ASSERT_EQ(S_OK, NewFormat()->GetExtensionGroups(&before.count, &before.groups));
  ExpectOneGroupEndingInCal(before);

  ASSERT_EQ(S_OK, doubles_.Register(kHostDoublesOptional));
  Groups after;  // from another format object: the answer is the module's
  ASSERT_EQ(S_OK, NewFormat()->GetExtensionGroups(&after.count, &after.groups));
  ExpectOneGroupEndingInCal(after);
  EXPECT_EQ(L"", doubles_.Log(L"Optional."));
}

TEST_F(CalsFormatExtensionGroupsTest, FirstAnswerPresentHoldsForTheWholeProcess) {
  ASSERT_EQ(S_OK, doubles_.Register(kHostDoublesOptional));
  auto format = NewFormat();
  Groups before;
  ASSERT_EQ(S_OK, format->GetExtensionGroups(&before.count, &before.groups));
  ExpectCalInAGroupOfItsOwn(before);

  ASSERT_EQ(S_OK, doubles_.Unregister(kHostDoublesOptional));
  Groups after;
  ASSERT_EQ(S_OK, format->GetExtensionGroups(&after.count, &after.groups));
  ExpectCalInAGroupOfItsOwn(after);
  EXPECT_EQ(L"Optional.Create\nOptional.Destroy\n", doubles_.Log(L"Optional."));
}

TEST_F(CalsFormatExtensionGroupsTest, NullPointersAreRefused) {
  auto format = NewFormat();
  ExtensionGroup* groups = kPoisonGroups;
  EXPECT_EQ(E_POINTER, format->GetExtensionGroups(nullptr, &groups));
  EXPECT_EQ(kPoisonGroups, groups);

  LONG count = static_cast<LONG>(0xDEADBEEF);
  EXPECT_EQ(E_POINTER, format->GetExtensionGroups(&count, nullptr));
  EXPECT_EQ(0, count) << "the count is cleared before the array pointer is checked";
  EXPECT_EQ(L"", doubles_.Log(L"Optional.")) << "no probe for a refused call";
}

}  // namespace
