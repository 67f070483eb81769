// The look of the drop-down combo box: a one-pixel frame and a narrow drop-down button, as on the
// handheld, so the entry keeps nearly all of the width its template gives it.
#pragma once

#include <QStyle>

namespace platform_user {

/* The style of every drop-down combo box: the application's style with the entry field and the
   drop-down button so proportioned. Made on first use, it lives as long as the application. */
QStyle* DropDownStyle();

}  // namespace platform_user
