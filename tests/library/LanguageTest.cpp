#include "library/VYK_Language.h"

#include <gtest/gtest.h>

#include "platform/runtime/Error.h"
#include "platform/runtime/Events.h"
#include "tests/support/Sandbox.h"

using namespace VYK_Language;

class LanguageFile : public Sandbox {
 protected:
  void SetUp() override {
    Sandbox::SetUp();
    LanguageText.Clear();
  }
  bool Load(const std::string& content) {
    WriteFile(common + "/language/test.lng", content);
    std::string name = "test.lng";
    return set_language(name);
  }
  long ErrorOf(long n) {
    try {
      LanguageText(n);
    } catch (const rt::Error& e) {
      return e.Number();
    }
    return 0;
  }
};

TEST_F(LanguageFile, TwoLinesMakeATableUpToTheHighestNumber) {
  ASSERT_TRUE(Load("T0306\tA\r\nT0127\tB\r\n"));
  EXPECT_EQ(LanguageText.UBound(), 306);
  EXPECT_EQ(LanguageText(306), "A");
  EXPECT_EQ(LanguageText(127), "B");
  EXPECT_EQ(LanguageText(16), "");
  EXPECT_EQ(ErrorOf(307), rt::errSubscript);
}

TEST_F(LanguageFile, LinesAreTrimmedAndOnlyCapitalTLinesWithTextCount) {
  ASSERT_TRUE(Load("; comment\r\n"
                   "   T0005\t  Hello  \r\n"
                   "t0006\tlower case\r\n"
                   "T0007 no tab\r\n"
                   "T0008\t   \r\n"
                   "T0042\tfirst\r\n"
                   "T0042\tsecond\r\n"
                   "\r\n"
                   "T0010xyz\tafter junk\r\n"));
  EXPECT_EQ(LanguageText(5), "Hello");
  EXPECT_EQ(LanguageText(6), "");
  EXPECT_EQ(LanguageText(7), "");
  EXPECT_EQ(LanguageText(8), "");
  EXPECT_EQ(LanguageText(42), "second");
  EXPECT_EQ(LanguageText(10), "after junk");
  EXPECT_EQ(ErrorLog(), "");
}

TEST_F(LanguageFile, ALaterLineWithoutTextKeepsTheEarlierText) {
  ASSERT_TRUE(Load("T0042\tfirst\r\nT0042\t\r\nT0042\t   \r\nT0043\tnext\r\n"));
  EXPECT_EQ(LanguageText(42), "first");
  EXPECT_EQ(LanguageText(43), "next");
}

TEST_F(LanguageFile, OrderOfLinesDoesNotMatter) {
  ASSERT_TRUE(Load("T0042\tc\r\nT0016\ta\r\nT0023\tb\r\n"));
  const std::string sorted[] = {LanguageText(16), LanguageText(23), LanguageText(42)};
  LanguageText.Clear();
  ASSERT_TRUE(Load("T0016\ta\r\nT0023\tb\r\nT0042\tc\r\n"));
  EXPECT_EQ(sorted[0], LanguageText(16));
  EXPECT_EQ(sorted[1], LanguageText(23));
  EXPECT_EQ(sorted[2], LanguageText(42));
  EXPECT_EQ(LanguageText.UBound(), 42);
}

TEST_F(LanguageFile, ALineThatCannotBeStoredStopsTheLoadAndIsLogged) {
  EXPECT_FALSE(Load("T0005\tfine\r\nT00x5\tbroken\r\nT0009\tnever read\r\n"));
  EXPECT_EQ(LanguageText(5), "fine");
  EXPECT_EQ(LanguageText.UBound(), 5);
  const auto lines = Lines(ErrorLog());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("  set_language of Modul VYK_Language  0  13  Type mismatch"), std::string::npos);
  EXPECT_TRUE(rt::testing::MessageBoxes().shown.empty());

  LanguageText.Clear();
  EXPECT_FALSE(Load("T0000\tzero first\r\n"));  // number 0 while the table is empty
  LanguageText.Clear();
  EXPECT_FALSE(Load("T-001\tnegative\r\n"));
}

TEST_F(LanguageFile, AMissingFileIsToldAndGivesFalse) {
  std::string name = "klingon.lng";
  EXPECT_FALSE(set_language(name));
  ASSERT_EQ(rt::testing::MessageBoxes().shown.size(), 1u);
  const auto& box = rt::testing::MessageBoxes().shown[0];
  EXPECT_EQ(box.prompt,
            "The language file klingon.lng is missing!\r\nPlease install the vyk language package.\r\n"
            "The program will be terminated now.");
  EXPECT_EQ(box.style, 4096);
  EXPECT_TRUE(LanguageText.Empty());
}

TEST_F(LanguageFile, TheShippedEnglishFileHoldsEveryTextTheProgramReads) {
  WriteFile(common + "/language/english.lng", ReadFile(TOLLERWICK_SOURCE_DIR "/resources/Common/language/english.lng"));
  std::string name = "english.lng";
  ASSERT_TRUE(set_language(name));
  for (long n : {16, 23, 42, 43, 44, 45, 46, 47, 48, 49, 52, 53, 54, 55, 56, 57, 127, 306})
    EXPECT_FALSE(LanguageText(n).empty()) << "text " << n;
}
