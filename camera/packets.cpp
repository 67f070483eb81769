// The fixed-width fields of the camera's packets.
#include <cstdio>
#include <cstring>
#include <vector>

#include "camera/camera_protocol.h"

namespace {

// The widest numeric field is the header's length field.
constexpr int kScratchLength = HEADER_LENGTH_LENGTH + 1;

// Converts the text to 8-bit text and places it in a 16-byte field that is already zero: a
// shorter text keeps a zero byte after it, a longer one is cut at the field's end.
void PlaceTextField(char* field, const CString& text) {
    const size_t length = wcstombs(nullptr, text.GetString(), 0);
    std::vector<char> converted(length + 1, '\0');
    wcstombs(converted.data(), text.GetString(), converted.size());
    std::memcpy(field, converted.data(),
                length < AUTH_TEXT_FIELD_LENGTH ? length : AUTH_TEXT_FIELD_LENGTH);
}

}  // namespace

int ParseCodeOrLengthField(const char* field, int width) {
    char scratch[kScratchLength];
    const int copied = width < 0 ? 0 : (width < kScratchLength ? width : kScratchLength - 1);
    std::memcpy(scratch, field, static_cast<size_t>(copied));
    scratch[copied] = '\0';
    return atoi(scratch);
}

void BuildAuthPacket(char* packet, const CString& id, const CString& password) {
    std::memset(packet, 0, IMG_XFER_USER_AUTH_PKT_LEN);
    char code[MESSAGE_PACKET_LENGTH + 1];
    std::snprintf(code, sizeof code, "%04d", USER_AUTH);
    std::memcpy(packet, code, sizeof code);  // the digits and their terminator
    PlaceTextField(packet + AUTH_ID_OFFSET, id);
    PlaceTextField(packet + AUTH_PASSWORD_OFFSET, password);
}
