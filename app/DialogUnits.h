#pragma once

#include <QFont>
#include <QRect>

// A rectangle in dialog units: a quarter of the font's average character width across,
// an eighth of its height down.
struct DluRect {
    int x;
    int y;
    int width;
    int height;
};

// Converts dialog units to pixels for one font, as dialog templates are laid out, so a
// window keeps its arrangement at any font size.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int ToPixelsX(int dluX) const;
    int ToPixelsY(int dluY) const;
    QRect ToPixels(const DluRect& rect) const;

    int BaseUnitX() const { return m_baseX; }
    int BaseUnitY() const { return m_baseY; }

private:
    int m_baseX;  // average character width in pixels
    int m_baseY;  // character height in pixels
};
