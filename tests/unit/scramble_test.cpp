#include <gtest/gtest.h>

#include <string>

#include "catalogue/scramble.h"

namespace hs {
namespace {

RecordLayout withAccount(const std::string& user, const std::string& password) {
    RecordLayout r = zeroLayout();
    r.useAccount = 1;
    setField(r.userName, user);
    setField(r.password, password);
    return r;
}

unsigned char byteAt(const char (&field)[kTextFieldSize], std::size_t i) {
    return static_cast<unsigned char>(field[i]);
}

TEST(ReverseString, ReversesInPlace) {
    char empty[] = "";
    char one[] = "a";
    char even[] = "abcd";
    char odd[] = "abcde";
    reverseString(empty);
    reverseString(one);
    reverseString(even);
    reverseString(odd);
    reverseString(nullptr);
    EXPECT_STREQ(empty, "");
    EXPECT_STREQ(one, "a");
    EXPECT_STREQ(even, "dcba");
    EXPECT_STREQ(odd, "edcba");
}

TEST(Scramble, StoredLayoutOfAbc) {
    RecordLayout r = withAccount("abc", "");
    scrambleCredentials(r, 12345u);
    EXPECT_EQ(byteAt(r.userName, 0), 3);
    EXPECT_EQ(r.userName[1], 'c');
    EXPECT_EQ(r.userName[5], 'b');
    EXPECT_EQ(r.userName[9], 'a');
    for (std::size_t i = 1; i < kTextFieldSize; ++i) {
        if (i == 1 || i == 5 || i == 9) continue;
        ASSERT_GE(byteAt(r.userName, i), 32) << i;
        ASSERT_LE(byteAt(r.userName, i), 125) << i;
    }
    EXPECT_EQ(byteAt(r.password, 0), 0);
    for (std::size_t i = 1; i < kTextFieldSize; ++i) {
        ASSERT_GE(byteAt(r.password, i), 32) << i;
        ASSERT_LE(byteAt(r.password, i), 125) << i;
    }
}

TEST(Scramble, OneSeedGivesBothFieldsTheSameFiller) {
    RecordLayout r = withAccount("", "");
    scrambleCredentials(r, 7u);
    EXPECT_EQ(0, std::memcmp(r.userName + 1, r.password + 1, kTextFieldSize - 1));
    RecordLayout other = withAccount("", "");
    scrambleCredentials(other, 8u);
    EXPECT_NE(0, std::memcmp(r.userName + 1, other.userName + 1, kTextFieldSize - 1));
}

TEST(Scramble, RoundTripForEveryLengthUpTo127) {
    for (std::size_t n = 0; n <= kMaxAccountLength; ++n) {
        std::string user, password;
        for (std::size_t i = 0; i < n; ++i) {
            user += static_cast<char>('!' + (i * 7) % 90);
            password += static_cast<char>(0xA0 + i % 90);  // ANSI letters above 127
        }
        RecordLayout r = withAccount(user, password);
        scrambleCredentials(r, static_cast<unsigned>(n));
        unscrambleCredentials(r);
        ASSERT_EQ(fieldText(r.userName), user) << n;
        ASSERT_EQ(fieldText(r.password), password) << n;
        for (std::size_t i = n; i < kTextFieldSize; ++i) {
            ASSERT_EQ(r.userName[i], '\0') << n << " at " << i;
            ASSERT_EQ(r.password[i], '\0') << n << " at " << i;
        }
    }
}

TEST(Scramble, TextLongerThan127KeepsItsFirst127Characters) {
    std::string longText;
    for (int i = 0; i < 511; ++i) longText += static_cast<char>('a' + i % 26);
    RecordLayout r = withAccount(longText, std::string(200, 'p'));
    // An unterminated field (512 characters) is handled the same way.
    std::memset(r.password, 'q', kTextFieldSize);
    scrambleCredentials(r, 1u);
    EXPECT_EQ(byteAt(r.userName, 0), 127);
    EXPECT_EQ(byteAt(r.password, 0), 127);
    unscrambleCredentials(r);
    EXPECT_EQ(fieldText(r.userName), longText.substr(0, 127));
    EXPECT_EQ(fieldText(r.password), std::string(127, 'q'));
}

TEST(Unscramble, DamagedStoredFormsStayInsideTheField) {
    RecordLayout r = zeroLayout();
    std::memset(r.userName, 'z', kTextFieldSize);
    r.userName[0] = static_cast<char>(200);  // never written by the program
    std::memset(r.password, 'w', kTextFieldSize);
    r.password[0] = static_cast<char>(127);
    r.password[1 + 4 * 5] = '\0';  // a zero among the stored characters
    unscrambleCredentials(r);
    EXPECT_EQ(fieldText(r.userName), "");
    EXPECT_EQ(fieldText(r.password), std::string(121, 'w'));
    for (std::size_t i = 121; i < kTextFieldSize; ++i) ASSERT_EQ(r.password[i], '\0') << i;
}

TEST(Unscramble, ZeroLengthGivesAnEmptyField) {
    RecordLayout r = withAccount("", "");
    scrambleCredentials(r);
    unscrambleCredentials(r);
    RecordLayout expected = withAccount("", "");
    EXPECT_EQ(0, std::memcmp(&r, &expected, sizeof r));
}

}  // namespace
}  // namespace hs
