// Icons of the program's resources: a handle names one icon group, shared and never destroyed.
#pragma once

#include <QIcon>

#include "platform/windef.h"

namespace platform_user {

/* The icon's images as a Qt icon (NULL handle or unknown icon: the null icon). Needs the Qt
   application. */
QIcon IconOf(HICON hIcon);

}  // namespace platform_user
