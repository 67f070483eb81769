#include "platform/gdi/default_font.h"

namespace platform_gdi {

QFont DefaultFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

}  // namespace platform_gdi
