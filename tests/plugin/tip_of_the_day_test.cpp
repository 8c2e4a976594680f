// The one-time tip of the day, reached the way the host reaches it:
// PreviewOperation1 of a preview object initialised with tipDone false.
#include <array>

#include "plugin/tip_of_the_day.h"
#include "tests/plugin/cals_preview_test_fixture.h"

namespace preview_test {
namespace {

constexpr LONG kDoNotShowAgain = 2;

const std::wstring kFullTipSequence =
    L"TipText.Create\n"
    L"TipText.SetSource(\"KORVANE PDM\",\"TipOfTheDay\")\n"
    L"TipText.GetTipText(1)\n"
    L"TipDialog.Create\n"
    L"TipDialog.ShowTip(4711,\"Check the raster density\",6)\n";

class TipOfTheDay : public PreviewTest {
 protected:
  void SetUp() override {
    PreviewTest::SetUp();
    Restart();
  }

  // A clean log, the test's tip text and the dialog's answer.
  void Restart(LONG dialogResult = 0) {
    doubles_.Reset();
    doubles_.SetTipText(L"Check the raster density");
    doubles_.SetDialogResult(dialogResult);
  }

  // The log without the components' Destroy lines, which depend on the
  // order in which references are let go.
  std::wstring CallsWithoutDestroy() const {
    std::wstring all = doubles_.Log();
    std::wstring kept;
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find(L'\n', start) + 1;
      std::wstring line = all.substr(start, end - start);
      if (line.find(L".Destroy") == std::wstring::npos) kept += line;
      start = end;
    }
    return kept;
  }
};

using TipDecision = TipOfTheDay;
using TipStoredValue = TipOfTheDay;
using TipFailures = TipOfTheDay;

TEST_F(TipDecision, DoNotShowAgainKeepsTheMarkAndLaterCallsShowNothing) {
  ComPtr<Preview> preview = InitialisedPreview(false);
  Restart(kDoNotShowAgain);

  EXPECT_EQ(S_OK, CallOperation1(preview.get(), 3));
  // The dialog has returned before the preview call goes on.
  EXPECT_EQ(kFullTipSequence + Operation1Line(3), CallsWithoutDestroy());
  EXPECT_TRUE(IsSeenMark(ReadTipValue()));
  EXPECT_EQ(0, doubles_.LiveObjects());

  doubles_.Reset();
  EXPECT_EQ(S_OK, CallOperation1(preview.get()));
  EXPECT_EQ(Operation1Line(), doubles_.Log());
  EXPECT_TRUE(IsSeenMark(ReadTipValue()));
}

TEST_F(TipDecision, WithoutDoNotShowAgainTheMarkGoesAndTheTipComesBack) {
  ComPtr<Preview> preview = InitialisedPreview(false);
  // Every bit but the one that counts.
  for (LONG result : {0L, 1L, static_cast<LONG>(~kDoNotShowAgain)}) {
    SCOPED_TRACE(result);
    Restart(result);
    EXPECT_EQ(S_OK, CallOperation1(preview.get()));
    EXPECT_EQ(kFullTipSequence + Operation1Line(), CallsWithoutDestroy());
    EXPECT_FALSE(ReadTipValue().has_value());
    EXPECT_TRUE(TipKeyExists());
  }
}

TEST_F(TipDecision, EveryPreviewObjectSharesTheUsersDecision) {
  doubles_.SetDialogResult(kDoNotShowAgain | 1);
  ComPtr<Preview> first = InitialisedPreview(false);
  EXPECT_EQ(S_OK, CallOperation1(first.get()));
  first.Reset();

  Restart(kDoNotShowAgain);
  ComPtr<Preview> second = InitialisedPreview(false);
  EXPECT_EQ(S_OK, CallOperation1(second.get()));
  EXPECT_EQ(L"", doubles_.Log(L"Tip"));
}

// While the dialog is open the tip already counts as seen: a preview call
// made from inside it (the host's message loop) shows no second dialog.
TEST_F(TipDecision, MarkIsWrittenBeforeTheDialogAndBlocksNestedTips) {
  struct Nested {
    Preview* preview = nullptr;
    std::optional<StoredValue> valueDuringDialog;
    HRESULT nestedResult = E_FAIL;
  };
  ComPtr<Preview> preview = InitialisedPreview(false);
  Restart(0);
  Nested nested;
  nested.preview = preview.get();
  doubles_.SetShowTipCallback(
      [](void* context) {
        auto* state = static_cast<Nested*>(context);
        state->valueDuringDialog = ReadTipValue();
        state->nestedResult = CallOperation1(state->preview, 9);
      },
      &nested);

  EXPECT_EQ(S_OK, CallOperation1(preview.get()));
  EXPECT_TRUE(IsSeenMark(nested.valueDuringDialog));
  EXPECT_EQ(S_OK, nested.nestedResult);
  EXPECT_EQ(kFullTipSequence + Operation1Line(9) + Operation1Line(), CallsWithoutDestroy());
  EXPECT_FALSE(ReadTipValue().has_value());
}

TEST_F(TipDecision, TipNumberNamesTheValueAndPicksTheText) {
  doubles_.SetDialogResult(kDoNotShowAgain);
  ShowTipOnce(-3, 12);
  EXPECT_EQ(L"TipText.GetTipText(12)\n", doubles_.Log(L"TipText.Get"));
  EXPECT_EQ(L"TipDialog.ShowTip(-3,\"Check the raster density\",6)\n", doubles_.Log(L"TipDialog.Show"));
  EXPECT_TRUE(IsSeenMark(ReadTipValue(L"12")));
  EXPECT_FALSE(ReadTipValue(L"1").has_value());
}

// What a stored value named 1 means: only a 4-byte DWORD (of either byte
// order) says "seen", whatever number it holds; anything else is replaced.
struct StoredCase {
  const char* name;
  DWORD type;
  std::vector<BYTE> data;
  bool countsAsSeen;
};

TEST_F(TipStoredValue, OnlyAFourByteDwordCountsAsSeen) {
  const wchar_t text[] = L"1";
  const std::array<StoredCase, 6> cases = {{
      {"dword 0", REG_DWORD, {0, 0, 0, 0}, true},
      {"dword 7", REG_DWORD, {7, 0, 0, 0}, true},
      {"big-endian dword", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 0}, true},
      {"string", REG_SZ,
       std::vector<BYTE>(reinterpret_cast<const BYTE*>(text), reinterpret_cast<const BYTE*>(text) + sizeof(text)),
       false},
      {"4-byte binary", REG_BINARY, {1, 0, 0, 0}, false},
      {"2-byte dword", REG_DWORD, {1, 0}, false},
  }};
  ComPtr<Preview> preview = InitialisedPreview(false);
  for (const StoredCase& stored : cases) {
    SCOPED_TRACE(stored.name);
    Restart(kDoNotShowAgain);
    ASSERT_TRUE(WriteTipValue(stored.type, stored.data.data(), static_cast<DWORD>(stored.data.size())));

    EXPECT_EQ(S_OK, CallOperation1(preview.get()));
    EXPECT_EQ(Operation1Line(), doubles_.Log(L"Preview."));
    if (stored.countsAsSeen) {
      EXPECT_EQ(L"", doubles_.Log(L"Tip"));
      std::optional<StoredValue> after = ReadTipValue();
      ASSERT_TRUE(after.has_value());
      EXPECT_EQ(stored.type, after->type);
      EXPECT_EQ(stored.data, after->data);
    } else {
      EXPECT_EQ(L"TipDialog.ShowTip(4711,\"Check the raster density\",6)\n",
                doubles_.Log(L"TipDialog.Show"));
      EXPECT_TRUE(IsSeenMark(ReadTipValue()));
    }
  }
}

TEST_F(TipFailures, MissingTipTextComponentLeavesNoMarkAndShowsNoDialog) {
  ASSERT_EQ(S_OK, doubles_.Unregister(kHostDoublesTipText));
  doubles_.SetDialogResult(kDoNotShowAgain);
  ComPtr<Preview> preview = InitialisedPreview(false);
  doubles_.SetResult(kHostDoublesPreviewOp1, S_FALSE);

  EXPECT_EQ(S_FALSE, CallOperation1(preview.get()));
  EXPECT_TRUE(TipKeyExists());
  EXPECT_FALSE(ReadTipValue().has_value());
  EXPECT_EQ(L"", doubles_.Log(L"Tip"));
  EXPECT_EQ(Operation1Line(), doubles_.Log(L"Preview."));
}

TEST_F(TipFailures, MissingTipDialogComponentLeavesNoMark) {
  ASSERT_EQ(S_OK, doubles_.Unregister(kHostDoublesTipDialog));
  doubles_.SetDialogResult(kDoNotShowAgain);
  ComPtr<Preview> preview = InitialisedPreview(false);

  EXPECT_EQ(S_OK, CallOperation1(preview.get()));
  EXPECT_FALSE(ReadTipValue().has_value());
  EXPECT_EQ(L"TipText.GetTipText(1)\n", doubles_.Log(L"TipText.Get"));
  EXPECT_EQ(0, doubles_.LiveObjects());
  EXPECT_EQ(Operation1Line(), doubles_.Log(L"Preview."));
}

// A failure at any step ends the tip there: the mark goes (even though the
// dialog would have answered "do not show again"), whatever was obtained
// is released, and the preview call still goes through with its own result.
TEST_F(TipFailures, AFailingStepRemovesTheMarkAndStopsTheSequence) {
  struct Step {
    DWORD operation;
    const wchar_t* lastLogged;
  };
  const std::array<Step, 5> steps = {{
      {kHostDoublesTipTextCreate, L"TipText.Create"},
      {kHostDoublesTipTextSetSource, L"TipText.SetSource"},
      {kHostDoublesTipTextGetTipText, L"TipText.GetTipText"},
      {kHostDoublesTipDialogCreate, L"TipDialog.Create"},
      {kHostDoublesTipDialogShowTip, L"TipDialog.ShowTip"},
  }};
  const HRESULT failure = static_cast<HRESULT>(0x80047777L);
  ComPtr<Preview> preview = InitialisedPreview(false);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.operation);
    Restart(kDoNotShowAgain);
    doubles_.SetResult(step.operation, failure);
    doubles_.SetResult(kHostDoublesPreviewOp1, E_NOTIMPL);

    EXPECT_EQ(E_NOTIMPL, CallOperation1(preview.get()));
    EXPECT_FALSE(ReadTipValue().has_value());
    EXPECT_EQ(0, doubles_.LiveObjects());
    // Nothing was attempted after the failing step.
    std::wstring calls = CallsWithoutDestroy();
    size_t failed = calls.find(step.lastLogged);
    ASSERT_NE(std::wstring::npos, failed);
    EXPECT_EQ(Operation1Line(), calls.substr(calls.find(L'\n', failed) + 1));
  }
}

}  // namespace
}  // namespace preview_test
