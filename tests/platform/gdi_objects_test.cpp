// GDI objects: handles, memory device contexts, selection, release rules and live counts.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/gdi.h"
#include "platform/gdi/bitmap_buffers.h"
#include "platform/gdi/image_dc.h"
#include "platform/testing/hooks.h"
#include "platform/user.h"
#include "support/bitmap_pixels.h"

namespace {

int WidthOf(HGDIOBJ bitmap) {
    BITMAP description{};
    return GetObjectW(bitmap, sizeof(description), &description) != 0 ? description.bmWidth : -1;
}

TEST(GdiObjects, BitmapsAreBlack32BitPicturesAndReuseReleasedMemory) {
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, 37, 19);
    BITMAP d{};
    EXPECT_EQ(GetObjectW(bitmap, sizeof(d), &d), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(std::make_tuple(d.bmWidth, d.bmHeight, d.bmWidthBytes, d.bmPlanes, d.bmBitsPixel),
              std::make_tuple(37, 19, 37 * 4, 1, 32));

    // Painted white and released, its memory serves the next bitmap, which is black all the same.
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ original = SelectObject(memory, bitmap);
    RECT all{0, 0, 37, 19};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(memory, original);
    EXPECT_TRUE(DeleteObject(bitmap));
    HBITMAP next = CreateCompatibleBitmap(memory, 37, 19);
    QImage black(37, 19, QImage::Format_RGB32);
    black.fill(0xFF000000u);
    EXPECT_EQ(test_support::ReadBitmap(next), black);
    EXPECT_TRUE(DeleteObject(next));
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 10), nullptr);

    QImage first = platform_gdi::TakeBitmapBuffer(64, 48);
    const uchar* pixels = first.constBits();
    platform_gdi::RecycleBitmapBuffer(std::move(first));
    EXPECT_EQ(platform_gdi::TakeBitmapBuffer(64, 48).constBits(), pixels);
}

TEST(GdiObjects, AMemoryContextHoldsOneBitmapAndABitmapOneContext) {
    const int bitmaps = platform_testing::LiveBitmapCount();
    const int contexts = platform_testing::LiveDeviceContextCount();
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HBITMAP a = CreateCompatibleBitmap(first, 4, 4);
    HBITMAP b = CreateCompatibleBitmap(first, 8, 2);
    EXPECT_EQ(platform_testing::LiveDeviceContextCount(), contexts + 2);
    EXPECT_EQ(platform_testing::LiveBitmapCount(), bitmaps + 2);

    HGDIOBJ stock = SelectObject(first, a);  // the 1 x 1 stock bitmap, never released
    EXPECT_EQ(WidthOf(stock), 1);
    EXPECT_TRUE(DeleteObject(stock));
    EXPECT_EQ(WidthOf(stock), 1);
    EXPECT_EQ(SelectObject(second, a), nullptr);  // already held by first
    EXPECT_FALSE(DeleteObject(a));                // selected bitmaps stay
    EXPECT_EQ(SelectObject(first, b), a);
    EXPECT_EQ(SelectObject(second, a), stock);
    EXPECT_EQ(SelectObject(first, stock), b);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_TRUE(DeleteDC(second));  // deselects a, which lives on
    EXPECT_EQ(WidthOf(a), 4);
    EXPECT_TRUE(DeleteObject(a));
    EXPECT_FALSE(DeleteObject(a));
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_EQ(platform_testing::LiveBitmapCount(), bitmaps);
    EXPECT_EQ(platform_testing::LiveDeviceContextCount(), contexts);
}

TEST(GdiObjects, StaleMadeUpAndMismatchedHandlesFailCleanly) {
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RECT rect{0, 0, 1, 1};
    for (HDC bad : {gone, HDC{}, reinterpret_cast<HDC>(0x7777)}) {
        EXPECT_FALSE(DeleteDC(bad));
        EXPECT_EQ(SelectObject(bad, white), nullptr);
        EXPECT_EQ(GetDeviceCaps(bad, BITSPIXEL), 0);
        EXPECT_EQ(SetTextColor(bad, 0), CLR_INVALID);
        EXPECT_EQ(FillRect(bad, &rect, white), 0);
        EXPECT_FALSE(BitBlt(bad, 0, 0, 1, 1, bad, 0, 0, SRCCOPY));
    }
    QImage target(8, 8, QImage::Format_RGB32);
    HDC image = CreateImageDC(&target);
    HBITMAP bitmap = CreateCompatibleBitmap(image, 2, 2);
    EXPECT_EQ(SelectObject(image, bitmap), nullptr);  // bitmaps go into memory contexts only
    EXPECT_FALSE(DeleteDC(image));                    // not a memory context
    EXPECT_EQ(ReleaseDC(nullptr, image), 0);          // not a window's
    EXPECT_EQ(FillRect(image, &rect, reinterpret_cast<HBRUSH>(bitmap)), 0);
    QImage eightBit(8, 8, QImage::Format_Indexed8);
    EXPECT_EQ(CreateImageDC(&eightBit), nullptr);
    EXPECT_TRUE(DeleteObject(white));  // a stock brush stays
    EXPECT_NE(FillRect(image, &rect, white), 0);
    EXPECT_EQ(target.pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_TRUE(DeleteImageDC(image));
    DeleteObject(bitmap);
}

}  // namespace
