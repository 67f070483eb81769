// Fuzz target: a frame's payload, put into the frame buffer as the camera thread leaves it, through
// the main dialog's WM_IMAGE_ARRIVED: caption copy, end-marker scan, decode into its image holder.
#include <algorithm>

#include "camera/camera_thread.h"
#include "dialog/pemblar_dlg.h"
#include "fuzz_support.h"
#include "platform/testing/hooks.h"

namespace {

struct FuzzedDialog : CPemblarDlg {
    using CPemblarDlg::m_image;
};

constexpr int64_t kPixelBudget = int64_t{4096} * 4096;  // the decoder's largest picture
constexpr uint8_t kEndMarker[] = {0xFF, 0xD9};
FuzzedDialog* g_dialog = nullptr;
int g_bitmapsAtStart = 0;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    UseTemporarySettingsHome();
    StartApplication();
    // Never destroyed: destroying it would save its history at exit, which is not fuzzed here.
    g_dialog = new FuzzedDialog;
    Require(g_dialog->Create(IDD_PEMBLAR_DIALOG), "the main dialog can be created");
    g_bitmapsAtStart = platform_testing::LiveBitmapCount();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size = LoadFrameBuffer(data, size);

    const HBITMAP before = g_dialog->m_image.m_hBitmap;
    SendMessageW(g_dialog->m_hWnd, WM_IMAGE_ARRIVED, 0, 0);
    const CJpegImage& image = g_dialog->m_image;

    if (size != 0 && std::search(data, data + size, kEndMarker, kEndMarker + 2) == data + size) {
        Require(image.m_hBitmap == before, "a frame without FF D9 leaves the picture alone");
    } else if (image.m_hBitmap != nullptr) {
        Require(image.m_nWidth > 0 && image.m_nHeight > 0 &&
                    int64_t{image.m_nWidth} * image.m_nHeight <= kPixelBudget,
                "a delivered picture has a size within the pixel budget");
        Require(size >= 2 && data[0] == 0xFF && data[1] == 0xD8, "only FF D8 frames decode");
    }
    // The holder keeps at most one bitmap (the memory device context may have made its own).
    Require(platform_testing::LiveBitmapCount() <= g_bitmapsAtStart + 2, "no bitmap leaks");
    return 0;
}
