// The image decoder called the way the frame holder calls it, with a data callback that reports
// a chosen byte count and a progress callback that counts the completed decodes.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/imgdecmp.h"

namespace decode_call {

// What the handle holds when the decoder leaves it alone.
inline HBITMAP const kUntouched = reinterpret_cast<HBITMAP>(0x5A5A5A);

struct Decoded {
    long result = E_FAIL;
    HBITMAP bitmap = kUntouched;
    DWORD count = 0;  // what the data callback reports
    int progressCalls = 0;
};

/* Decodes buffer with `count` reported by the data callback and `capacity` as its size. */
Decoded Decode(std::vector<uint8_t>& buffer, DWORD count, DWORD capacity, int maxSide = 10000);

/* Decodes the whole frame, the buffer exactly its size. */
Decoded Decode(std::vector<uint8_t> frame, int maxSide = 10000);

/* Expects the frame to fail with no handle stored, no bitmap made and no progress reported, and
   a good frame to decode right after it. */
void ExpectNoBitmap(const std::vector<uint8_t>& frame, const char* what);

}  // namespace decode_call
