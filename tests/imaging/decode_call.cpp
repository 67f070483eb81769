#include "decode_call.h"

#include <gtest/gtest.h>

#include "platform/testing/hooks.h"
#include "support/jpeg_maker.h"

namespace decode_call {

Decoded Decode(std::vector<uint8_t>& buffer, DWORD count, DWORD capacity, int maxSide) {
    Decoded out;
    out.count = count;
    DECOMPRESSIMAGEINFO info{};
    info.dwSize = 60;
    info.pbBuffer = buffer.data();
    info.dwBufferMax = capacity;
    info.phBM = &out.bitmap;
    info.lParam = reinterpret_cast<LPARAM>(&out);
    info.iScale = 100;
    info.iMaxWidth = info.iMaxHeight = maxSide;
    info.pfnGetData = [](LPSTR, DWORD, LPARAM lParam) {
        return reinterpret_cast<Decoded*>(lParam)->count;
    };
    info.pfnImageProgress = [](IImageRender*, BOOL complete, LPARAM lParam) {
        reinterpret_cast<Decoded*>(lParam)->progressCalls += complete;
    };
    out.result = DecompressImageIndirect(&info);
    return out;
}

Decoded Decode(std::vector<uint8_t> frame, int maxSide) {
    // Exactly the frame, so that the address sanitiser catches a read past it; a real buffer
    // even for an empty frame.
    const auto size = static_cast<DWORD>(frame.size());
    if (frame.empty()) frame.push_back(0);
    return Decode(frame, size, size, maxSide);
}

void ExpectNoBitmap(const std::vector<uint8_t>& frame, const char* what) {
    SCOPED_TRACE(what);
    const int before = platform_testing::LiveBitmapCount();
    const Decoded decoded = Decode(frame);
    EXPECT_EQ(decoded.result, E_FAIL);
    EXPECT_EQ(decoded.bitmap, kUntouched);
    EXPECT_EQ(decoded.progressCalls, 0);
    EXPECT_EQ(platform_testing::LiveBitmapCount(), before);
    const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const Decoded next = Decode(test_support::MakeQuadrantJpeg(16, 16, colours));
    EXPECT_EQ(next.result, S_OK);
    DeleteObject(next.bitmap);
}

}  // namespace decode_call
