// The format object's identity and threading: its interfaces, the
// free-threaded marshaler it aggregates, and its interlocked count.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "plugin/cals_format.h"
#include "tests/plugin/cals_file_fixture.h"
#include "tests/plugin/interface_checks.h"

namespace {

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

// What a free-threaded marshaler of the COM library names as its
// unmarshaler in-process (mingw's libuuid and the runtime disagree on the
// constant CLSID_InProcFreeMarshaler, so ask the runtime).
CLSID FreeThreadedUnmarshalClass() {
  ComPtr<IUnknown> standalone;
  ComPtr<IMarshal> marshal;
  CLSID clsid{};
  if (FAILED(CoCreateFreeThreadedMarshaler(nullptr, standalone.put())) ||
      FAILED(standalone.As(IID_IMarshal, marshal)) ||
      FAILED(marshal->GetUnmarshalClass(IID_IUnknown, standalone.get(), MSHCTX_INPROC, nullptr,
                                        MSHLFLAGS_NORMAL, &clsid)))
    return GUID_NULL;
  return clsid;
}

class CalsFormatInterfaceTest : public ::testing::Test {
 protected:
  testing_support::ComApartment apartment_;
};

TEST_F(CalsFormatInterfaceTest, AnswersItsInterfacesAndNothingElse) {
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, CreateClassInstance<CCalsFormat>(nullptr, IID_IUnknown, unknown.put_void()));
  ASSERT_NO_FATAL_FAILURE(interface_checks::ExpectInterfaces(
      unknown.get(), IID_ICalsFormat, {&IID_IOrvFileFormat, &IID_IOrvFileFormat2},
      {&IID_IDispatch, &IID_IOrvFileNavigator, &IID_ICalsFile, &IID_IOrvFilePreview,
       &IID_IClassFactory}));
  EXPECT_EQ(E_POINTER, unknown->QueryInterface(IID_IUnknown, nullptr));
}

TEST_F(CalsFormatInterfaceTest, MarshalIsTheFreeThreadedMarshaler) {
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, CreateClassInstance<CCalsFormat>(nullptr, IID_IUnknown, unknown.put_void()));
  ComPtr<IMarshal> marshal;
  ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IMarshal, marshal.put_void()));
  CLSID unmarshaler{};
  ASSERT_EQ(S_OK, marshal->GetUnmarshalClass(IID_IOrvFileFormat, unknown.get(), MSHCTX_INPROC,
                                             nullptr, MSHLFLAGS_NORMAL, &unmarshaler));
  EXPECT_EQ(GuidText(FreeThreadedUnmarshalClass()), GuidText(unmarshaler));
  // The marshaler is part of the object: it leads back to the same identity.
  ComPtr<IUnknown> back;
  ASSERT_EQ(S_OK, marshal->QueryInterface(IID_IUnknown, back.put_void()));
  EXPECT_EQ(unknown.get(), back.get());
}

TEST_F(CalsFormatInterfaceTest, AnotherApartmentGetsTheObjectItself) {
  ComPtr<IOrvFileFormat> format;
  ASSERT_EQ(S_OK, CreateClassInstance<CCalsFormat>(nullptr, IID_IOrvFileFormat, format.put_void()));
  IStream* stream = nullptr;
  ASSERT_EQ(S_OK, CoMarshalInterThreadInterfaceInStream(IID_IOrvFileFormat, format.get(), &stream));

  IOrvFileFormat* received = nullptr;
  LONG code = 0;
  std::thread worker([&] {
    testing_support::ComApartment multiThreaded(COINIT_MULTITHREADED);
    if (FAILED(CoGetInterfaceAndReleaseStream(stream, IID_IOrvFileFormat,
                                              reinterpret_cast<void**>(&received))))
      return;
    received->GetFormatCode(nullptr, &code);
    received->Release();
  });
  worker.join();
  EXPECT_EQ(format.get(), received) << "no proxy between apartments";
  EXPECT_EQ(264, code);
}

// An outer object that counts the references routed to it.
class CountingOuter : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown)) {
      *out = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++count); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--count); }
  LONG count = 1;
  IUnknown* inner = nullptr;
};

TEST_F(CalsFormatInterfaceTest, AggregatedMarshalerWorksForTheOuterObject) {
  CountingOuter outer;
  ASSERT_EQ(S_OK, CreateClassInstance<CCalsFormat>(&outer, IID_IUnknown,
                                                   reinterpret_cast<void**>(&outer.inner)));
  EXPECT_EQ(1, outer.count) << "creating the marshaler must not keep the outer object alive";

  IMarshal* marshal = nullptr;
  ASSERT_EQ(S_OK, outer.QueryInterface(IID_IMarshal, reinterpret_cast<void**>(&marshal)));
  EXPECT_EQ(2, outer.count) << "the marshaler counts on the controlling unknown";
  IUnknown* identity = nullptr;
  ASSERT_EQ(S_OK, marshal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)));
  EXPECT_EQ(static_cast<IUnknown*>(&outer), identity);
  identity->Release();
  marshal->Release();
  EXPECT_EQ(1, outer.count);

  const LONG locks = g_module.GetLockCount();
  EXPECT_EQ(0u, outer.inner->Release());
  EXPECT_EQ(locks - 1, g_module.GetLockCount());
}

TEST_F(CalsFormatInterfaceTest, ReferenceCountSurvivesManyThreads) {
  ComPtr<IOrvFileFormat> format;
  ASSERT_EQ(S_OK, CreateClassInstance<CCalsFormat>(nullptr, IID_IOrvFileFormat, format.put_void()));
  const LONG locks = g_module.GetLockCount();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 100000; ++i) {
        format->AddRef();
        format->Release();
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(2u, format->AddRef());
  EXPECT_EQ(1u, format->Release());
  format.Reset();
  EXPECT_EQ(locks - 1, g_module.GetLockCount());
}

}  // namespace
