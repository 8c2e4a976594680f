// The preview object as a forwarder: identity, initialisation through the
// host's provider, the declined request, forwarding of all nine operations
// and the lifetime of the inner preview.
#include <array>

#include "plugin/result_codes.h"
#include "tests/plugin/cals_preview_test_fixture.h"
#include "tests/plugin/interface_checks.h"

namespace preview_test {
namespace {

using PreviewIdentity = PreviewTest;
using PreviewInitialise = PreviewTest;
using PreviewUninitialised = PreviewTest;
using PreviewForwarding = PreviewTest;
using PreviewLifetime = PreviewTest;

TEST_F(PreviewIdentity, AnswersItsTwoInterfacesAndNothingElse) {
  ComPtr<Preview> preview = NewPreview();
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(S_OK, preview->QueryInterface(IID_IUnknown, unknown.put_void()));
  ASSERT_NO_FATAL_FAILURE(interface_checks::ExpectInterfaces(
      unknown.get(), IID_ICalsPreview, {&IID_IOrvFilePreview},
      {&IID_IOrvFileFormat, &IID_IOrvFileNavigator, &IID_ICalsFile, &IID_IDispatch}));
  ComPtr<IUnknown> filePreview;
  ASSERT_EQ(S_OK, preview->QueryInterface(IID_IOrvFilePreview, filePreview.put_void()));
  EXPECT_EQ(static_cast<void*>(static_cast<IOrvFilePreview*>(preview.get())), filePreview.get());
}

TEST_F(PreviewInitialise, HandsItsValuesToTheProvider) {
  ComPtr<Preview> preview = InitialisedPreview(true);
  EXPECT_EQ(L"Provider.CreatePreview(4711,11,-22,34359738352)\n", doubles_.Log(L"Provider.Create"));
  EXPECT_EQ(1, doubles_.InnerPreviewRefCount(0));
}

TEST_F(PreviewInitialise, ReturnsTheProvidersResultUnchanged) {
  ComPtr<IOrvPreviewProvider> provider;
  ASSERT_EQ(S_OK, doubles_.CreatePreviewProvider(provider.put()));

  doubles_.SetResult(kHostDoublesProviderCreatePreview, S_FALSE);
  ComPtr<Preview> succeeded = NewPreview();
  EXPECT_EQ(S_FALSE, succeeded->Initialise(provider.get(), kOwner, kB, kC, kD, true));
  EXPECT_EQ(S_OK, succeeded->PreviewOperation2(nullptr, nullptr, 0));

  // Without an inner preview the object stays as unusable as before.
  const HRESULT refused = static_cast<HRESULT>(0x80041234L);
  doubles_.SetResult(kHostDoublesProviderCreatePreview, refused);
  ComPtr<Preview> failed = NewPreview();
  EXPECT_EQ(refused, failed->Initialise(provider.get(), kOwner, kB, kC, kD, false));
  EXPECT_EQ(E_UNEXPECTED, CallOperation1(failed.get()));
  EXPECT_FALSE(TipKeyExists());
}

TEST_F(PreviewInitialise, RefusesAMissingProvider) {
  ComPtr<Preview> preview = NewPreview();
  EXPECT_EQ(E_POINTER, preview->Initialise(nullptr, kOwner, kB, kC, kD, false));
  EXPECT_EQ(E_UNEXPECTED, CallOperation1(preview.get()));
  EXPECT_FALSE(TipKeyExists());
}

TEST_F(PreviewInitialise, ASecondCallReleasesTheFirstInnerPreview) {
  ComPtr<Preview> preview = InitialisedPreview(true);
  ComPtr<IOrvPreviewProvider> provider;
  ASSERT_EQ(S_OK, doubles_.CreatePreviewProvider(provider.put()));
  ASSERT_EQ(S_OK, preview->Initialise(provider.get(), 5, 0, 0, 0, true));
  EXPECT_EQ(0, doubles_.InnerPreviewRefCount(0));
  EXPECT_EQ(1, doubles_.InnerPreviewRefCount(1));
}

TEST_F(PreviewUninitialised, AllNineOperationsAnswerUnexpectedAndCallNothing) {
  ComPtr<Preview> preview = NewPreview();
  IOrvFilePreview* calls = preview.get();
  EXPECT_EQ(E_UNEXPECTED, CallOperation1(preview.get()));
  EXPECT_EQ(E_UNEXPECTED, calls->PreviewOperation2(nullptr, nullptr, 0));
  EXPECT_EQ(E_UNEXPECTED, calls->PreviewOperation3(nullptr, nullptr, 0));
  EXPECT_EQ(E_UNEXPECTED, calls->PreviewOperation4(nullptr, nullptr, 0));
  EXPECT_EQ(E_UNEXPECTED, calls->PreviewOperation5(nullptr, nullptr, 0));
  EXPECT_EQ(E_UNEXPECTED, calls->PreviewOperation6(nullptr, nullptr, 0));
  EXPECT_EQ(E_UNEXPECTED, calls->PreviewOperation7(nullptr, nullptr, 0));
  EXPECT_EQ(E_UNEXPECTED, calls->PreviewOperation8(nullptr, nullptr, 0));
  EXPECT_EQ(E_UNEXPECTED, calls->PreviewOperation9(nullptr, nullptr, 0));
  // The declined request is refused for what it is, initialised or not.
  EXPECT_EQ(MIROTEX_E_PREVIEW_DECLINED, CallOperation1(preview.get(), 1));

  EXPECT_EQ(L"", doubles_.Log());
  EXPECT_FALSE(TipKeyExists());
}

TEST_F(PreviewForwarding, DeclinedRequestTouchesNeitherRegistryNorInnerPreview) {
  ComPtr<Preview> preview = InitialisedPreview(false);
  EXPECT_EQ(MIROTEX_E_PREVIEW_DECLINED, CallOperation1(preview.get(), 1));
  EXPECT_EQ(L"", doubles_.Log(L"Preview."));
  EXPECT_EQ(L"", doubles_.Log(L"Tip"));
  EXPECT_FALSE(TipKeyExists());
}

TEST_F(PreviewForwarding, Operation1WithTipDoneForwardsWithoutRegistryAccess) {
  ComPtr<Preview> preview = InitialisedPreview(true);
  for (HRESULT result : {S_OK, S_FALSE, static_cast<HRESULT>(0x80045555L)}) {
    doubles_.SetResult(kHostDoublesPreviewOp1, result);
    EXPECT_EQ(result, CallOperation1(preview.get(), -7));
  }
  EXPECT_EQ(Operation1Line(-7) + Operation1Line(-7) + Operation1Line(-7), doubles_.Log(L"Preview."));
  EXPECT_EQ(L"", doubles_.Log(L"Tip"));
  EXPECT_FALSE(TipKeyExists());
}

// Operations 2 to 9: every argument and the result pass unchanged, and the
// tip is never attempted, not even with tipDone false.
TEST_F(PreviewForwarding, Operations2To9PassArgumentsAndResultsUnchanged) {
  using Operation = HRESULT (STDMETHODCALLTYPE IOrvFilePreview::*)(void*, void*, LONG);
  const std::array<Operation, 8> operations = {
      &IOrvFilePreview::PreviewOperation2, &IOrvFilePreview::PreviewOperation3,
      &IOrvFilePreview::PreviewOperation4, &IOrvFilePreview::PreviewOperation5,
      &IOrvFilePreview::PreviewOperation6, &IOrvFilePreview::PreviewOperation7,
      &IOrvFilePreview::PreviewOperation8, &IOrvFilePreview::PreviewOperation9};
  const std::array<HRESULT, 8> results = {S_OK,        S_FALSE,      E_FAIL,       E_NOTIMPL,
                                          E_POINTER,   static_cast<HRESULT>(2), MIROTEX_E_PREVIEW_DECLINED,
                                          static_cast<HRESULT>(0x8004AAAAL)};

  ComPtr<Preview> preview = InitialisedPreview(false);
  IOrvFilePreview* calls = preview.get();
  for (size_t i = 0; i < operations.size(); ++i) {
    const int op = static_cast<int>(i) + 2;
    SCOPED_TRACE(op);
    doubles_.Reset();
    doubles_.SetResult(kHostDoublesPreviewOp1 + static_cast<DWORD>(op) - 1, results[i]);
    const ULONG_PTR a1 = 0x1000 + i;
    const ULONG_PTR a2 = ~ULONG_PTR{0} - i;  // all 64 bits must survive
    const LONG a3 = i % 2 == 0 ? 1 : -static_cast<LONG>(op);
    EXPECT_EQ(results[i], (calls->*operations[i])(Pointer(a1), Pointer(a2), a3));

    wchar_t expected[128];
    swprintf(expected, 128, L"Preview.PreviewOperation%d(0x%llx,0x%llx,%ld)\n", op,
             static_cast<unsigned long long>(a1), static_cast<unsigned long long>(a2), a3);
    EXPECT_EQ(expected, doubles_.Log());
  }
  EXPECT_FALSE(TipKeyExists());
}

// The host may let go of the preview object while a forwarded call runs
// (its message loop runs inside the inner preview); the inner preview is
// then released only when the call has returned.
TEST_F(PreviewLifetime, TheHostLettingGoDuringACallKeepsTheInnerPreviewForTheCall) {
  using Operation = HRESULT (STDMETHODCALLTYPE IOrvFilePreview::*)(void*, void*, LONG);
  const std::array<Operation, 8> operations = {
      &IOrvFilePreview::PreviewOperation2, &IOrvFilePreview::PreviewOperation3,
      &IOrvFilePreview::PreviewOperation4, &IOrvFilePreview::PreviewOperation5,
      &IOrvFilePreview::PreviewOperation6, &IOrvFilePreview::PreviewOperation7,
      &IOrvFilePreview::PreviewOperation8, &IOrvFilePreview::PreviewOperation9};
  struct LetGo {
    ComPtr<Preview> preview;
    const HostDoublesLibrary* doubles = nullptr;
    DWORD index = 0;
    LONG innerCountAfterLettingGo = LONG_MIN;
  };
  for (DWORD i = 0; i < operations.size(); ++i) {
    SCOPED_TRACE(i + 2);
    LetGo letGo{InitialisedPreview(true), &doubles_, i};
    IOrvFilePreview* calls = letGo.preview.get();
    doubles_.SetPreviewCallback(
        [](void* context) {
          auto* state = static_cast<LetGo*>(context);
          state->preview.Reset();  // the host's last reference
          state->innerCountAfterLettingGo = state->doubles->InnerPreviewRefCount(state->index);
        },
        &letGo);
    EXPECT_EQ(S_OK, (calls->*operations[i])(nullptr, nullptr, 0));
    EXPECT_EQ(1, letGo.innerCountAfterLettingGo) << "the call's own reference";
    EXPECT_EQ(0, doubles_.InnerPreviewRefCount(i));
    doubles_.SetPreviewCallback(nullptr, nullptr);
  }
}

TEST_F(PreviewLifetime, DestructionReleasesTheInnerPreviewExactlyOnce) {
  const LONG locksBefore = g_module.GetLockCount();
  ComPtr<Preview> preview = InitialisedPreview(true);
  EXPECT_EQ(locksBefore + 1, g_module.GetLockCount());
  ASSERT_EQ(S_OK, CallOperation1(preview.get()));
  ASSERT_EQ(S_OK, preview->PreviewOperation5(nullptr, nullptr, 0));
  EXPECT_EQ(1, doubles_.InnerPreviewRefCount(0));

  preview.Reset();
  EXPECT_EQ(0, doubles_.InnerPreviewRefCount(0));
  EXPECT_EQ(locksBefore, g_module.GetLockCount());
}

}  // namespace
}  // namespace preview_test
