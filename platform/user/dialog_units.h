// Dialog units: template coordinates scaled by the dialog font's base units, as the platform
// does it (a horizontal unit is a quarter of the average character width, a vertical unit an
// eighth of the font height).
#pragma once

#include <QFont>
#include <QRect>

namespace platform_user {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    int m_baseX;
    int m_baseY;
};

}  // namespace platform_user
