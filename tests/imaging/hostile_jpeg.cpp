#include "hostile_jpeg.h"

#include <cstddef>
#include <initializer_list>

namespace hostile_jpeg {
namespace {

void Put(std::vector<uint8_t>& out, std::initializer_list<int> bytes) {
    for (int b : bytes) out.push_back(static_cast<uint8_t>(b));
}

void Segment(std::vector<uint8_t>& out, int marker, const std::vector<uint8_t>& body) {
    const size_t length = body.size() + 2;
    Put(out, {0xFF, marker, static_cast<int>(length >> 8), static_cast<int>(length & 0xFF)});
    out.insert(out.end(), body.begin(), body.end());
}

// SOI, a quantisation table of ones, the frame header and the two one-code Huffman tables (the
// only symbol, 0, has the code "0": a DC difference of 0, or an end of block).
std::vector<uint8_t> Headers(int frameMarker, int width, int height) {
    std::vector<uint8_t> out;
    Put(out, {0xFF, 0xD8});
    std::vector<uint8_t> quant(65, 1);
    quant[0] = 0;
    Segment(out, 0xDB, quant);
    Segment(out, frameMarker,
            {8, static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height),
             static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width), 1, 1, 0x11, 0});
    std::vector<uint8_t> tables;
    for (int tableClass : {0x00, 0x10}) {
        tables.push_back(static_cast<uint8_t>(tableClass));
        tables.push_back(1);  // one code of length 1
        tables.insert(tables.end(), 15, 0);
        tables.push_back(0);  // its symbol
    }
    Segment(out, 0xC4, tables);
    return out;
}

// A scan header of the one component, then `blocks` one-bit codes "0" padded with ones.
void Scan(std::vector<uint8_t>& out, int first, int last, int high, int low, int blocks) {
    Segment(out, 0xDA,
            {1, 1, 0x00, static_cast<uint8_t>(first), static_cast<uint8_t>(last),
             static_cast<uint8_t>((high << 4) | low)});
    const int bytes = (blocks + 7) / 8;
    for (int i = 0; i < bytes; ++i) {
        const int bitsHere = i + 1 < bytes ? 8 : blocks - 8 * i;
        out.push_back(static_cast<uint8_t>(0xFF >> bitsHere));
    }
}

}  // namespace

std::vector<uint8_t> ManyScans(int firstShift) {
    std::vector<uint8_t> out = Headers(0xC2, 8, 8);
    Scan(out, 0, 0, 0, 0, 1);
    for (int k = 1; k <= 63; ++k) {
        Scan(out, k, k, 0, firstShift, 1);
        for (int low = firstShift - 1; low >= 0; --low) Scan(out, k, k, low + 1, low, 1);
    }
    Put(out, {0xFF, 0xD9});
    return out;
}

std::vector<uint8_t> Baseline(int width, int height, int blocks) {
    std::vector<uint8_t> out = Headers(0xC0, width, height);
    Scan(out, 0, 63, 0, 0, 2 * blocks);  // each block: DC difference 0, then end of block
    Put(out, {0xFF, 0xD9});
    return out;
}

int ScanCount(const std::vector<uint8_t>& jpeg) {
    int count = 0;
    for (size_t i = 0; i + 1 < jpeg.size(); ++i) count += jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA;
    return count;
}

}  // namespace hostile_jpeg
