// Icons of the program's resources: a handle names one icon group, shared and never destroyed.
#pragma once

#include <QIcon>
#include <QImage>

#include "platform/resource_types.h"
#include "platform/windef.h"

namespace platform_user {

/* One image of an icon group as 32-bit pixels, its masked pixels fully transparent. Needs no Qt
   application. */
QImage IconImage(const ICONIMAGE_RESOURCE& image);

/* The icon's images as a Qt icon (NULL handle or unknown icon: the null icon). Needs the Qt
   application. */
QIcon IconOf(HICON hIcon);

}  // namespace platform_user
