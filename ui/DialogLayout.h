#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace orvalen {

// The windows' font: "宋体" 9 pt where installed, else an installed Chinese font at 9 pt, so
// the Chinese texts show as characters, not boxes.
QFont DialogFont();

// Positions written in dialog units, converted from the dialog font as on the platform the
// layouts were drawn for: a horizontal unit is a quarter of the font's average character
// width, a vertical unit an eighth of its height. The layout so keeps its proportions whatever
// the font.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const { return Scale(units, m_baseX, 4); }
    int Y(int units) const { return Scale(units, m_baseY, 8); }
    QSize Size(int width, int height) const { return {X(width), Y(height)}; }
    QRect Rect(int x, int y, int width, int height) const;

    // Places a widget at a rectangle given in dialog units.
    void Place(QWidget& widget, int x, int y, int width, int height) const;

private:
    static int Scale(int units, int base, int divisor) {
        return (units * base + divisor / 2) / divisor;
    }

    int m_baseX;
    int m_baseY;
};

} // namespace orvalen
