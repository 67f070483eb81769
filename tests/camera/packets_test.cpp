// The authentication packet's bytes and the parsing of received numeric fields.
#include <gtest/gtest.h>

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
    const std::string packet(buffer.data() + kGuard, IMG_XFER_USER_AUTH_PKT_LEN);
    buffer.erase(buffer.begin() + kGuard, buffer.begin() + kGuard + IMG_XFER_USER_AUTH_PKT_LEN);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), std::string(2 * kGuard, kCanary));
    return packet;
}

std::string Zeros(size_t n) {
    return std::string(n, '\0');
}

TEST(AuthPacketTest, PlacesCodeIdAndPasswordInZeroFilledFieldsCutToTheirSize) {
    const std::string code = "0300" + Zeros(12);
    EXPECT_EQ(Build(u"admin", u""), code + "admin" + Zeros(27));
    EXPECT_EQ(Build(u"admin", u"pass"), code + "admin" + Zeros(11) + "pass" + Zeros(12));
    EXPECT_EQ(Build(u"", u""), code + Zeros(32));
    EXPECT_EQ(Build(u"123456789012345", u"x"),  // 15 characters keep a terminator
              code + "123456789012345" + Zeros(1) + "x" + Zeros(15));
    EXPECT_EQ(Build(u"ABCDEFGHIJKLMNOP", u"pw"),  // exactly 16: no zero byte among them
              code + "ABCDEFGHIJKLMNOP" + "pw" + Zeros(14));
    EXPECT_EQ(Build(u"ABCDEFGHIJKLMNOPQRST", u""), code + "ABCDEFGHIJKLMNOP" + Zeros(16));
    EXPECT_EQ(Build(u"id", u"0123456789abcdefXYZ"), code + "id" + Zeros(14) + "0123456789abcdef");
    EXPECT_EQ(Build(CString(std::u16string(5000, u'i')), CString(std::u16string(70000, u'p'))),
              code + std::string(16, 'i') + std::string(16, 'p'));
    // Latin-1 letters become their byte; characters beyond it become '?'.
    EXPECT_EQ(Build(u"caf\u00e9", u"\u20ac1"), code + "caf\xE9" + Zeros(12) + "?1" + Zeros(14));
}

TEST(CodeFieldTest, ParsesEachFieldApartTheWayAtoiDoes) {
    const std::pair<std::string, int> cases[] = {
        {"0121", SERVER_READY},
        {"+121", SERVER_READY},
        {"121 ", SERVER_READY},
        {" 121", SERVER_READY},
        {"121x", SERVER_READY},
        {"12 1", 12},
        {"abcd", 0},
        {"9000", INVALID_MESSAGE_ID},
        {"-120", -120},
        {std::string("1\0"
                     "99",
                     4),
         1},
        {"00200001", MAX_IMAGE_DATA_LENGTH + 1},
        {"  200000", MAX_IMAGE_DATA_LENGTH},
        {"-1      ", -1},
        {"00000000", 0},
    };
    for (const auto& [field, expected] : cases) {
        // The field alone in its own allocation: a read past it would be caught.
        std::vector<char> bytes(field.begin(), field.end());
        EXPECT_EQ(ParseCodeField(bytes.data(), static_cast<int>(bytes.size())), expected)
            << '"' << field << '"';
    }
    // The length field ends at its last byte even when digits follow it in memory.
    const std::string header = std::string(20, 'Z') + "013000012345999";
    EXPECT_EQ(ParseCodeField(header.data() + HEADER_CODE_OFFSET, HEADER_CODE_LENGTH), IMAGE_OK);
    EXPECT_EQ(ParseCodeField(header.data() + HEADER_LENGTH_OFFSET, HEADER_LENGTH_LENGTH), 12345);
}

}  // namespace
