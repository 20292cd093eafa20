// The heap string builder with the ANSI code page's double-byte text.
#include <gtest/gtest.h>

#include "classes/clsStrChain.h"

namespace {
TEST(StrChain, CollectsPiecesInOrderAndEmptiesOnClear) {
    clsStrChain chain;
    EXPECT_EQ(chain.GetString(), L"");
    chain.AddString(L"abc");
    chain.AddString(L"def");
    EXPECT_EQ(chain.GetString(), L"abcdef");
    EXPECT_EQ(chain.GetString(), L"abcdef");
    EXPECT_EQ(chain.Length(), 6);
    chain.ClearString();
    EXPECT_EQ(chain.GetString(), L"");
    EXPECT_EQ(chain.Length(), 0);
    chain.ClearString();
    chain.AddString(L"again");
    EXPECT_EQ(chain.GetString(), L"again");
}

TEST(StrChain, AnEmptyFirstPieceStillLetsLaterPiecesIn) {
    clsStrChain chain;
    chain.AddString(L"");
    EXPECT_EQ(chain.GetString(), L"");
    chain.AddString(L"x");
    EXPECT_EQ(chain.GetString(), L"x");
}

TEST(StrChain, JapaneseTextTakesTwoBytesACharacterAndComesBackUnchanged) {
    ASSERT_EQ(GetACP(), 932u) << "the tests expect the Japanese code page";
    clsStrChain chain;
    chain.AddString(L"二重起動");
    chain.AddString(L"は");
    EXPECT_EQ(chain.Length(), 10);
    EXPECT_EQ(chain.GetString(), L"二重起動は");
}

TEST(StrChain, APieceEndsAtItsFirstNul) {
    clsStrChain chain;
    chain.AddString(std::wstring(L"ab\0cd", 5));
    chain.AddString(L"e");
    EXPECT_EQ(chain.GetString(), L"abe");
}

TEST(StrChain, ACharacterOutsideTheCodePageBecomesItsDefaultCharacter) {
    clsStrChain chain;
    chain.AddString(L"a\u0E01b");  // a Thai letter
    EXPECT_EQ(chain.GetString(), L"a?b");
}
}  // namespace
