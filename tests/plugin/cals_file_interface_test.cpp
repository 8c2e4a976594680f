// The opened-file object's identity: which interfaces it answers.
#include <gtest/gtest.h>

#include "plugin/cals_file.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

void* const kPoisonPointer = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0xDEADBEEFDEADBEEFull));

class CalsFileInterfaceTest : public ::testing::Test {
 protected:
  testing_support::ComApartment apartment_;
};

TEST_F(CalsFileInterfaceTest, AnswersItsOwnAndTheNavigatorInterfaceOnly) {
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, CreateClassInstance<CCalsFile>(nullptr, IID_IUnknown, unknown.put_void()));

  ComPtr<IUnknown> own;
  ASSERT_EQ(S_OK, unknown->QueryInterface(IID_ICalsFile, own.put_void()));
  EXPECT_EQ(unknown.get(), own.get()) << "IUnknown is the first interface, ICalsFile";

  ComPtr<IOrvFileNavigator> navigator;
  ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IOrvFileNavigator, navigator.put_void()));
  ComPtr<IUnknown> back;
  ASSERT_EQ(S_OK, navigator->QueryInterface(IID_IUnknown, back.put_void()));
  EXPECT_EQ(unknown.get(), back.get());

  for (const IID* iid : {&IID_IMarshal, &IID_IDispatch, &IID_IOrvFileFormat, &IID_ICalsFormat,
                         &IID_IOrvFilePreview, &IID_IClassFactory}) {
    void* out = kPoisonPointer;
    EXPECT_EQ(E_NOINTERFACE, unknown->QueryInterface(*iid, &out));
    EXPECT_EQ(nullptr, out);
  }
  EXPECT_EQ(E_POINTER, unknown->QueryInterface(IID_IUnknown, nullptr));
}

}  // namespace
