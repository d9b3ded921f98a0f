#include "app/DialogUnits.h"

#include <QFontMetrics>

namespace {

// The average width is taken over the 52 letters, rounded, as dialog templates measure it
// (a font's own "average width" field varies too much between font files).
int AverageLetterWidth(const QFontMetrics& metrics) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int count = static_cast<int>(letters.size());
    return (metrics.horizontalAdvance(letters) + count / 2) / count;
}

// value * numerator / denominator, rounded to the nearest integer.
int ScaleRounded(int value, int numerator, int denominator) {
    return (value * numerator + denominator / 2) / denominator;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    m_baseX = AverageLetterWidth(metrics);
    m_baseY = metrics.height();
}

int DialogUnits::ToPixelsX(int dluX) const { return ScaleRounded(dluX, m_baseX, 4); }
int DialogUnits::ToPixelsY(int dluY) const { return ScaleRounded(dluY, m_baseY, 8); }

QRect DialogUnits::ToPixels(const DluRect& rect) const {
    return QRect(ToPixelsX(rect.x), ToPixelsY(rect.y), ToPixelsX(rect.width),
                 ToPixelsY(rect.height));
}
