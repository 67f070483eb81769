// The limit of one frame on loopback: the decode of the frame into 32-bit pixels with a reused
// decompressor, plus one request/response round trip that receives the frame without decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

/* Median seconds of decoding the frame into BGRA pixels whose rows start rowShift bytes past a
   64-byte boundary, `times` decodes with one decompressor; negative when it does not decode. */
double MedianDecodeSeconds(const std::vector<uint8_t>& jpeg, int times, size_t rowShift);

/* Median over the frames of the cycle of each frame's median decode seconds (as above), for
   rows on a 16-byte boundary and rows 4 bytes past it; the faster of the two. */
double MedianCycleDecodeSeconds(const std::vector<std::vector<uint8_t>>& cycle, int times);

/* Median seconds from sending "0110" to having the 32-byte header and the whole payload, over
   `times` requests on one logged-in connection to the camera at the port; TCP_NODELAY as the
   viewer sets it, and with quickAck the delayed acknowledgement is switched off before every
   receive. Negative when the exchange fails. */
double MedianRoundTripSeconds(uint16_t port, int times, bool quickAck);

double Median(std::vector<double> values);

}  // namespace bench
