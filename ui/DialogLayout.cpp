#include "DialogLayout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <QWidget>

namespace orvalen {

QFont DialogFont() {
    static const QStringList kPreferred = {
        QStringLiteral("宋体"),
        QStringLiteral("SimSun"),
        QStringLiteral("NSimSun"),
        QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Source Han Sans SC"),
        QStringLiteral("WenQuanYi Zen Hei"),
        QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("AR PL UMing CN"),
    };
    const QStringList installed = QFontDatabase::families();
    QString family;
    for (const QString& name : kPreferred) {
        if (installed.contains(name, Qt::CaseInsensitive)) {
            family = name;
            break;
        }
    }
    if (family.isEmpty()) {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        if (!chinese.isEmpty())
            family = chinese.first();
    }
    QFont font(family.isEmpty() ? QFont().family() : family, 9);
    return font;
}

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as the platform's dialog manager
    // measures it; the height is the font's full cell height.
    static const QString kLetters =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = (metrics.horizontalAdvance(kLetters) / 26 + 1) / 2;
    m_baseY = metrics.height();
    if (m_baseX <= 0)
        m_baseX = 1;
    if (m_baseY <= 0)
        m_baseY = 1;
}

QRect CDialogUnits::Rect(int x, int y, int width, int height) const {
    return {X(x), Y(y), X(width), Y(height)};
}

void CDialogUnits::Place(QWidget& widget, int x, int y, int width, int height) const {
    widget.setGeometry(Rect(x, y, width, height));
}

} // namespace orvalen
