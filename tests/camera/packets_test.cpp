// The authentication packet's bytes and the parsing of received numeric fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "camera/camera_protocol.h"

namespace {

constexpr char kCanary = '\x5A';
constexpr size_t kGuard = 16;

// Builds the packet between two guard zones and checks that nothing outside it was touched.
std::string Build(const CString& id, const CString& password) {
    std::vector<char> buffer(kGuard + IMG_XFER_USER_AUTH_PKT_LEN + kGuard, kCanary);
    BuildAuthPacket(buffer.data() + kGuard, id, password);
    for (size_t i = 0; i < kGuard; ++i) {
        EXPECT_EQ(buffer[i], kCanary) << "byte " << i << " before the packet";
        EXPECT_EQ(buffer[kGuard + IMG_XFER_USER_AUTH_PKT_LEN + i], kCanary)
            << "byte " << i << " after the packet";
    }
    return std::string(buffer.data() + kGuard, IMG_XFER_USER_AUTH_PKT_LEN);
}

std::string Zeros(size_t n) {
    return std::string(n, '\0');
}

TEST(AuthPacketTest, PlacesCodeIdAndPasswordInZeroFilledFields) {
    EXPECT_EQ(Build(u"admin", u""), "0300" + Zeros(12) + "admin" + Zeros(27));
    EXPECT_EQ(Build(u"admin", u"pass"),
              "0300" + Zeros(12) + "admin" + Zeros(11) + "pass" + Zeros(12));
    EXPECT_EQ(Build(u"", u""), "0300" + Zeros(44));
    EXPECT_EQ(Build(u"123456789012345", u"x"),  // 15 characters keep a terminator
              "0300" + Zeros(12) + "123456789012345" + Zeros(1) + "x" + Zeros(15));
}

TEST(AuthPacketTest, CutsLongTextsAtTheFieldWithoutTouchingTheNeighbour) {
    EXPECT_EQ(Build(u"ABCDEFGHIJKLMNOP", u"pw"),  // exactly 16: no zero byte among them
              "0300" + Zeros(12) + "ABCDEFGHIJKLMNOP" + "pw" + Zeros(14));
    EXPECT_EQ(Build(u"ABCDEFGHIJKLMNOPQRST", u""),
              "0300" + Zeros(12) + "ABCDEFGHIJKLMNOP" + Zeros(16));
    EXPECT_EQ(Build(u"id", u"0123456789abcdefXYZ"),
              "0300" + Zeros(12) + "id" + Zeros(14) + "0123456789abcdef");

    const CString longId(std::u16string(5000, u'i'));
    const CString longPassword(std::u16string(70000, u'p'));
    EXPECT_EQ(Build(longId, longPassword),
              "0300" + Zeros(12) + std::string(16, 'i') + std::string(16, 'p'));
}

TEST(AuthPacketTest, ConvertsTextToSingleBytes) {
    // Latin-1 letters become their byte; characters beyond it become '?'.
    EXPECT_EQ(Build(u"caf\u00e9", u"\u20ac1"),
              "0300" + Zeros(12) + "caf\xE9" + Zeros(12) + "?1" + Zeros(14));
}

int Parse(const std::string& field) {
    // The field alone in its own allocation: a read past it would be caught.
    std::vector<char> bytes(field.begin(), field.end());
    return ParseCodeField(bytes.data(), static_cast<int>(bytes.size()));
}

TEST(CodeFieldTest, ParsesTheWayAtoiDoes) {
    EXPECT_EQ(Parse("0121"), SERVER_READY);
    EXPECT_EQ(Parse("+121"), SERVER_READY);
    EXPECT_EQ(Parse("121 "), SERVER_READY);
    EXPECT_EQ(Parse(" 121"), SERVER_READY);
    EXPECT_EQ(Parse("121x"), SERVER_READY);
    EXPECT_EQ(Parse("12 1"), 12);
    EXPECT_EQ(Parse("abcd"), 0);
    EXPECT_EQ(Parse("9000"), INVALID_MESSAGE_ID);
    EXPECT_EQ(Parse("-120"), -120);
    EXPECT_EQ(Parse(std::string("1\0"
                                "99",
                                4)),
              1);

    EXPECT_EQ(Parse("00200000"), MAX_IMAGE_DATA_LENGTH);
    EXPECT_EQ(Parse("00200001"), MAX_IMAGE_DATA_LENGTH + 1);
    EXPECT_EQ(Parse("  200000"), MAX_IMAGE_DATA_LENGTH);
    EXPECT_EQ(Parse("-1      "), -1);
    EXPECT_EQ(Parse("00000000"), 0);
}

TEST(CodeFieldTest, ParsesEachHeaderFieldApart) {
    std::string header = std::string(20, 'Z') + "013000012345";
    EXPECT_EQ(ParseCodeField(header.data() + HEADER_CODE_OFFSET, HEADER_CODE_LENGTH), IMAGE_OK);
    EXPECT_EQ(ParseCodeField(header.data() + HEADER_LENGTH_OFFSET, HEADER_LENGTH_LENGTH), 12345);
    // The length field ends at its last byte even when digits follow it in memory.
    header += "999";
    EXPECT_EQ(ParseCodeField(header.data() + HEADER_LENGTH_OFFSET, HEADER_LENGTH_LENGTH), 12345);
}

}  // namespace
