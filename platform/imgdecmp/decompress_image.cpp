// JPEG frames decoded with TurboJPEG straight from the caller's buffer into a new bitmap.
#include <turbojpeg.h>

#include <cstdint>

#include "platform/gdi/bitmap_buffers.h"
#include "platform/imgdecmp.h"
#include "platform/imgdecmp/decompressor.h"

namespace {

// Most pixels a frame may have, whatever the caller's maxima: 4096 x 4096 (a 64 MiB bitmap).
// A few hundred kilobytes can declare a picture of 65500 x 65500; the check runs on the
// header, before any pixel memory is taken.
constexpr int64_t kPixelBudget = int64_t{4096} * 4096;

// Warnings stop the decode and count as failures: TurboJPEG reports a truncated or damaged
// frame as a warning and would fill what is missing with grey. Delivering no bitmap instead
// leaves the holder empty and the view keeps the last good picture. Stopping at the first
// warning also spares a hostile frame that declares a large picture and carries no data the
// cost of decoding it in full. (TurboJPEG 2.1 also keeps reporting TJERR_WARNING once a warning
// was raised, even when a fatal error followed, so the error code alone cannot vouch for the
// picture.) The scan limit bounds progressive frames with endless scans.
constexpr int kDecodeFlags = TJFLAG_STOPONWARNING
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

}  // namespace

/* DecompressImageIndirect: decodes the JPEG frame at the start of pbBuffer at scale 100 into a
   new 32-bit bitmap stored in *phBM, then reports completion once to pfnImageProgress. No
   bitmap for a frame that is empty, longer than dwBufferMax, larger than iMaxWidth x iMaxHeight
   or the pixel budget, or that decodes only with a warning or an error. S_OK or E_FAIL. */
long DecompressImageIndirect(DECOMPRESSIMAGEINFO* pParams) {
    if (pParams == nullptr || pParams->pbBuffer == nullptr || pParams->phBM == nullptr ||
        pParams->iScale != 100) {
        return E_FAIL;
    }
    const DECOMPRESSIMAGEINFO& info = *pParams;
    if (info.ppImageRender != nullptr) *info.ppImageRender = nullptr;

    DWORD length = 0;
    tjhandle decompressor = imgdecmp::ThreadDecompressor();
    if (!FrameLength(info, &length) || decompressor == nullptr) return E_FAIL;

    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(decompressor, info.pbBuffer, length, &width, &height, &subsampling,
                            &colorspace) != 0) {
        imgdecmp::DiscardThreadDecompressor();
        return E_FAIL;
    }
    if (!FitsLimits(width, height, info)) return E_FAIL;

    // The decode writes straight into the bitmap's rows. BGRA rather than BGRX: only BGRA
    // promises the fourth byte is 0xFF, which the 32-bit bitmap format requires.
    QImage pixels = gdi::TakeBitmapBuffer(width, height);
    if (pixels.isNull()) return E_FAIL;
    if (tjDecompress2(decompressor, info.pbBuffer, length, pixels.bits(), width,
                      static_cast<int>(pixels.bytesPerLine()), height, TJPF_BGRA,
                      kDecodeFlags) != 0) {
        imgdecmp::DiscardThreadDecompressor();
        gdi::RecycleBitmapBuffer(std::move(pixels));
        return E_FAIL;
    }
    HBITMAP bitmap = gdi::AdoptBitmapBuffer(std::move(pixels));
    if (bitmap == nullptr) return E_FAIL;
    *info.phBM = bitmap;
    if (info.pfnImageProgress != nullptr) info.pfnImageProgress(nullptr, TRUE, info.lParam);
    return S_OK;
}
