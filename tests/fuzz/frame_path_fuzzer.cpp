// Fuzz target: a frame's payload through the real frame arrival of the main dialog. The input is
// put into the frame buffer as the camera thread leaves it (at most the buffer's 200000 bytes)
// and the dialog, created modeless and never shown, handles WM_IMAGE_ARRIVED: the caption copy,
// the end-marker scan and the decode into its image holder with the platform's JPEG decoder.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "camera/camera_thread.h"
#include "common/frame_buffer.h"
#include "dialog/pemblar_dlg.h"
#include "fuzz_environment.h"
#include "platform/testing/hooks.h"

namespace {

using fuzz_support::Violation;

struct FuzzedDialog : CPemblarDlg {
    using CPemblarDlg::m_image;
};

// The decoder's budget: no delivered picture has more pixels than 4096 x 4096.
constexpr int64_t kPixelBudget = int64_t{4096} * 4096;

bool HasEndMarker(const uint8_t* data, size_t size) {
    const uint8_t marker[] = {0xFF, 0xD9};
    return std::search(data, data + size, marker, marker + 2) != data + size;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_support::UseTemporarySettingsHome();
    fuzz_support::StartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzedDialog* dialog = [] {
        // Never destroyed: destroying it would save its history at exit, which is not fuzzed here.
        auto* made = new FuzzedDialog;
        if (!made->Create(IDD_PEMBLAR_DIALOG)) Violation("the main dialog can be created");
        return made;
    }();
    static const int bitmapsAtStart = platform_testing::LiveBitmapCount();

    size = std::min<size_t>(size, MAX_IMAGE_DATA_LENGTH);
    std::memset(ImageData, 0, sizeof ImageData);
    std::memcpy(ImageData, data, size);
    ImageDataLength = static_cast<int32_t>(size);

    const HBITMAP before = dialog->m_image.m_hBitmap;
    SendMessageW(dialog->m_hWnd, WM_IMAGE_ARRIVED, 0, 0);
    const CJpegImage& image = dialog->m_image;

    if (size != 0 && !HasEndMarker(data, size)) {
        // Dropped before the decoder: the last picture stays.
        if (image.m_hBitmap != before) Violation("a frame without FF D9 leaves the picture alone");
    } else if (image.m_hBitmap != nullptr) {
        if (image.m_nWidth <= 0 || image.m_nHeight <= 0 ||
            int64_t{image.m_nWidth} * image.m_nHeight > kPixelBudget) {
            Violation("a delivered picture has a size within the pixel budget");
        }
        if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) {
            Violation("only a frame that starts with FF D8 decodes");
        }
    }
    // The holder keeps at most one bitmap (the memory device context may have made its own).
    if (platform_testing::LiveBitmapCount() > bitmapsAtStart + 2) {
        Violation("decoding does not leak bitmaps");
    }
    return 0;
}
