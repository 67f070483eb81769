// JPEG frames decoded with TurboJPEG straight from the caller's buffer into a new bitmap.
#include <turbojpeg.h>

#include <cstdint>
#include <memory>
#include <type_traits>

#include "platform/gdi/bitmap_buffers.h"
#include "platform/imgdecmp.h"

namespace platform_imgdecmp {
namespace {

struct DestroyDecompressor {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// The calling thread's decompressor, made on first use and kept for the thread's life.
thread_local std::unique_ptr<std::remove_pointer_t<tjhandle>, DestroyDecompressor> t_decompressor;

tjhandle ThreadDecompressor() {
    if (t_decompressor == nullptr) t_decompressor.reset(tjInitDecompress());
    return t_decompressor.get();
}

// Drops the calling thread's decompressor after a failed call; the next call makes a fresh one.
// TurboJPEG 2.1 leaves an instance whose header read failed in the middle of that read, and
// every later call on it fails too.
void DiscardThreadDecompressor() {
    t_decompressor.reset();
}

// Most pixels a frame may have, whatever the caller's maxima: 4096 x 4096 (a 64 MiB bitmap).
// A few hundred kilobytes can declare a picture of 65500 x 65500; the check runs on the
// header, before any pixel memory is taken.
constexpr int64_t kPixelBudget = int64_t{4096} * 4096;

// Warnings do not stop the decode: many cameras write frames that a decoder reads whole with a
// warning (stray bytes before a marker, an entropy segment cut short), and viewers show them.
// An error stops it and gives no bitmap. The scan limit bounds progressive frames with endless
// scans.
constexpr int kDecodeFlags = 0
#ifdef TJFLAG_LIMITSCANS
                             | TJFLAG_LIMITSCANS
#endif
    ;

bool FitsLimits(int width, int height, const DECOMPRESSIMAGEINFO& info) {
    return width > 0 && height > 0 && width <= info.iMaxWidth && height <= info.iMaxHeight &&
           int64_t{width} * height <= kPixelBudget;
}

// The number of bytes at the start of the buffer: what the data callback reports (it is asked
// for the count only and given nowhere to copy to), never more than the buffer's capacity.
bool FrameLength(const DECOMPRESSIMAGEINFO& info, DWORD* length) {
    DWORD count = info.dwBufferCurrent;
    if (info.pfnGetData != nullptr) {
        char scratch = 0;
        count = info.pfnGetData(&scratch, 0, info.lParam);
    }
    if (count == 0 || count > info.dwBufferMax) return false;
    *length = count;
    return true;
}

// Reads the picture's size from the header. A header read with warnings only still gives it:
// TurboJPEG sets the four values together once the header was read to its end.
bool ReadHeader(tjhandle decompressor, const DECOMPRESSIMAGEINFO& info, DWORD length, int* width,
                int* height) {
    int subsampling = -1;
    int colorspace = -1;
    *width = 0;
    *height = 0;
    if (tjDecompressHeader3(decompressor, info.pbBuffer, length, width, height, &subsampling,
                            &colorspace) == 0) {
        return true;
    }
    return tjGetErrorCode(decompressor) == TJERR_WARNING && *width > 0 && *height > 0 &&
           subsampling >= 0 && colorspace >= 0;
}

// Decodes into the rows; true when the decoder read the frame to its end with warnings at most.
// TurboJPEG 2.1 still reports TJERR_WARNING when an error followed a warning, so the picture
// also has to be whole: the last pixel's fourth byte, cleared before, is written with the last
// row (0xFF in BGRA).
bool DecodeRows(tjhandle decompressor, const DECOMPRESSIMAGEINFO& info, DWORD length,
                QImage& pixels) {
    uchar* const rows = pixels.bits();
    uchar* const lastAlpha =
        rows + (pixels.height() - 1) * pixels.bytesPerLine() + 4 * (pixels.width() - 1) + 3;
    *lastAlpha = 0;
    // BGRA rather than BGRX: only BGRA promises the fourth byte is 0xFF, which the 32-bit
    // bitmap format requires.
    if (tjDecompress2(decompressor, info.pbBuffer, length, rows, pixels.width(),
                      static_cast<int>(pixels.bytesPerLine()), pixels.height(), TJPF_BGRA,
                      kDecodeFlags) == 0) {
        return true;
    }
    return tjGetErrorCode(decompressor) == TJERR_WARNING && *lastAlpha == 0xFF;
}

}  // namespace
}  // namespace platform_imgdecmp

using namespace platform_imgdecmp;

long DecompressImageIndirect(DECOMPRESSIMAGEINFO* pParams) {
    if (pParams == nullptr || pParams->pbBuffer == nullptr || pParams->phBM == nullptr ||
        pParams->iScale != 100) {
        return E_FAIL;
    }
    const DECOMPRESSIMAGEINFO& info = *pParams;
    if (info.ppImageRender != nullptr) *info.ppImageRender = nullptr;

    DWORD length = 0;
    tjhandle decompressor = ThreadDecompressor();
    if (!FrameLength(info, &length) || decompressor == nullptr) return E_FAIL;

    // The header comes first: the size is checked before any pixel memory is taken.
    int width = 0;
    int height = 0;
    if (!ReadHeader(decompressor, info, length, &width, &height)) {
        DiscardThreadDecompressor();
        return E_FAIL;
    }
    if (!FitsLimits(width, height, info)) return E_FAIL;

    QImage pixels = platform_gdi::TakeBitmapBuffer(width, height);
    if (pixels.isNull()) return E_FAIL;
    if (!DecodeRows(decompressor, info, length, pixels)) {
        DiscardThreadDecompressor();
        platform_gdi::RecycleBitmapBuffer(std::move(pixels));
        return E_FAIL;
    }
    HBITMAP bitmap = platform_gdi::AdoptBitmapBuffer(std::move(pixels));
    if (bitmap == nullptr) return E_FAIL;
    *info.phBM = bitmap;
    if (info.pfnImageProgress != nullptr) info.pfnImageProgress(nullptr, TRUE, info.lParam);
    return S_OK;
}
