// JPEG files written byte by byte for the decoder's limits: one 8-bit grey component, a flat
// quantisation table and Huffman tables of a single one-bit code each, so that every block of a
// flat grey picture codes as one bit in every kind of scan.
#pragma once

#include <cstdint>
#include <vector>

namespace hostile_jpeg {

/* A valid progressive 8 x 8 grey picture: a DC scan, then for each of the 63 AC coefficients a
   first scan at point transform `firstShift` and one refinement scan per lower bit, so
   1 + 63 * (firstShift + 1) scans in all. */
std::vector<uint8_t> ManyScans(int firstShift);

/* A baseline grey picture header declaring width x height, with one scan of `blocks` flat
   blocks; complete when blocks covers the picture, otherwise cut short. */
std::vector<uint8_t> Baseline(int width, int height, int blocks);

/* The number of scan headers (FF DA) in the file. */
int ScanCount(const std::vector<uint8_t>& jpeg);

}  // namespace hostile_jpeg
