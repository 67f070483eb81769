// The platform's one text font: what device contexts draw text with and what dialogs show.
#pragma once

#include <QFont>

namespace platform_gdi {

/* The default sans-serif font at the small size of the device's screen (11 pixels). */
QFont DefaultFont();

}  // namespace platform_gdi
