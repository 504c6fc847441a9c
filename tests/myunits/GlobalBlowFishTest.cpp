#include <gtest/gtest.h>

#include "myunits/TGlobalBlowFish.h"
#include "tests/myunits/ExpectThrow.h"

namespace {

const AnsiString Key = "Lp7Xc2NvR9qTb4WmZs8KdH3yJf6GaE1uPo5iQw0RkM7nBt2VxC4";

class GlobalBlowFishTest : public testing::Test {
protected:
    TGlobalBlowFish cipher;
};

TEST_F(GlobalBlowFishTest, RoundTripsUnderTheCallersKey) {
    for (const AnsiString& plain :
         {AnsiString("a"), AnsiString("exactly8"), AnsiString("with\0nul", 8),
          AnsiString("Grüße, \"quoted\" @ and \x07t"), AnsiString(1000, 'x')}) {
        const AnsiString text = cipher.Encrypt(plain, Key);
        EXPECT_EQ(text.find_first_not_of(
                      "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
                  AnsiString::npos);
        EXPECT_EQ(cipher.Decrypt(text, Key), plain);
    }
}

TEST_F(GlobalBlowFishTest, SameTextAndKeyGiveTheSameCipherText) {
    EXPECT_EQ(cipher.Encrypt("repeat me", Key), cipher.Encrypt("repeat me", Key));
    EXPECT_NE(cipher.Encrypt("repeat me", Key), cipher.Encrypt("repeat me", "another key"));
}

TEST_F(GlobalBlowFishTest, EmptyTextStaysEmpty) {
    EXPECT_EQ(cipher.Encrypt("", Key), "");
    EXPECT_EQ(cipher.Decrypt("", Key), "");
}

TEST_F(GlobalBlowFishTest, TextThatDoesNotDecipherGivesEmptyText) {
    const AnsiString good = cipher.Encrypt("some text", Key);
    for (const AnsiString& bad :
         {good.substr(0, 5) + " " + good.substr(6), good.substr(0, 5) + "=" + good.substr(6),
          good.substr(0, 5) + "/" + good.substr(6), AnsiString("zzzz")})
        EXPECT_EQ(cipher.Decrypt(bad, Key), "") << bad;
    EXPECT_EQ(cipher.Decrypt(good, ""), "");
    EXPECT_EQ(cipher.Decrypt(good, AnsiString(57, 'k')), "");
    // After a failed call the object still works.
    EXPECT_EQ(cipher.Decrypt(good, Key), "some text");
}

TEST_F(GlobalBlowFishTest, KeyOfBadLengthReachesTheEncipheringCaller) {
    ExpectThrowMessage<EKeyError>([&] { cipher.Encrypt("text", ""); },
                                  "Blowfish: Key must be between 1 and 56 bytes");
    EXPECT_EQ(cipher.Decrypt(cipher.Encrypt("text", Key), Key), "text");
}

TEST_F(GlobalBlowFishTest, IsTheOneInstance) {
    EXPECT_EQ(&Singleton<TGlobalBlowFish>::GetSingleton(), &cipher);
}

TEST(GlobalBlowFishLifeTest, CanBeCreatedAgainAfterDestruction) {
    auto first = std::make_unique<TGlobalBlowFish>();
    first.reset();
    TGlobalBlowFish second;
    EXPECT_EQ(&Singleton<TGlobalBlowFish>::GetSingleton(), &second);
}

TEST(GlobalBlowFishDeathTest, SecondInstanceIsFatal) {
    EXPECT_DEATH(
        {
            TGlobalBlowFish first;
            TGlobalBlowFish second;
        },
        "Singleton already created in Singleton::GetSingleton.*Assertion failed: "
        "!ms_Singleton");
}

TEST(GlobalBlowFishDeathTest, UseBeforeCreationIsFatal) {
    EXPECT_DEATH(Singleton<TGlobalBlowFish>::GetSingleton(),
                 "No Singleton created in Singleton::GetSingleton.*Assertion failed: "
                 "ms_Singleton");
}

} // namespace
