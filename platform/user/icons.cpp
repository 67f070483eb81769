// Icons from the resource section: each image's 16-colour palette indices become pixels, and
// the mask makes its pixels transparent.
#include "platform/user/icons.h"

#include <QImage>
#include <QPixmap>

#include "platform/resource_types.h"
#include "platform/user.h"

namespace {

// A handle is the icon resource's address: resources are static data, never released.
const ICON_RESOURCE* FindIcon(UINT id) {
    for (int i = 0; i < AfxGetResourceTable().iconCount; ++i) {
        if (AfxGetResourceTable().icons[i]->id == id) return AfxGetResourceTable().icons[i];
    }
    return nullptr;
}

const ICON_RESOURCE* IconResource(HICON hIcon) {
    for (int i = 0; i < AfxGetResourceTable().iconCount; ++i) {
        if (reinterpret_cast<HICON>(const_cast<ICON_RESOURCE*>(AfxGetResourceTable().icons[i])) ==
            hIcon) {
            return AfxGetResourceTable().icons[i];
        }
    }
    return nullptr;
}

}  // namespace

namespace platform_user {

QImage IconImage(const ICONIMAGE_RESOURCE& image) {
    QImage result(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int at = y * image.width + x;
            const COLORREF colour = image.palette[image.pixels[at] & 0x0F];
            const int alpha = image.mask[at] != 0 ? 0 : 255;
            result.setPixel(x, y,
                            qRgba(GetRValue(colour), GetGValue(colour), GetBValue(colour), alpha));
        }
    }
    return result;
}

QIcon IconOf(HICON hIcon) {
    QIcon icon;
    if (const ICON_RESOURCE* resource = IconResource(hIcon)) {
        for (int i = 0; i < resource->imageCount; ++i) {
            icon.addPixmap(QPixmap::fromImage(IconImage(resource->images[i])));
        }
    }
    return icon;
}

}  // namespace platform_user

HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    (void)hInstance;
    const auto id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpIconName));
    const ICON_RESOURCE* resource = id <= 0xFFFF ? FindIcon(id) : nullptr;
    return resource == nullptr ? nullptr
                               : reinterpret_cast<HICON>(const_cast<ICON_RESOURCE*>(resource));
}
