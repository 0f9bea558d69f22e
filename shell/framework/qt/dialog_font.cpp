#include "dialog_font.h"

#include <QApplication>
#include <QFontMetrics>

namespace qtlayer {

namespace {

// Windows sizes a point font for 96 pixels per inch at the standard scale.
constexpr int kLogicalDpi = 96;

int MulDiv(int number, int numerator, int denominator)
{
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

QString StandInFace(const QString& templateFace)
{
    if (templateFace == QStringLiteral(u"新細明體") || templateFace == QStringLiteral("PMingLiU"))
        return QStringLiteral("Noto Serif CJK TC");
    return templateFace;
}

int DialogMetrics::X(int units) const
{
    return MulDiv(units, baseUnitX, 4);
}

int DialogMetrics::Y(int units) const
{
    return MulDiv(units, baseUnitY, 8);
}

QRect DialogMetrics::Rect(int x, int y, int cx, int cy) const
{
    return QRect(X(x), Y(y), X(cx), Y(cy));
}

DialogMetrics MetricsFor(const res::DialogTemplate& dialog)
{
    DialogMetrics metrics;
    const QString face = QString::fromStdU16String(dialog.faceName);
    metrics.font = QFont(StandInFace(face));
    metrics.font.setPixelSize(MulDiv(dialog.pointSize > 0 ? dialog.pointSize : 9, kLogicalDpi, 72));
    if (dialog.weight >= 600)
        metrics.font.setBold(true);
    metrics.font.setItalic(dialog.italic);

    const QFontMetrics fm(metrics.font);
    const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    metrics.baseUnitX = (letters / 26 + 1) / 2;
    metrics.baseUnitY = fm.height();
    return metrics;
}

ScopedApplicationFont::ScopedApplicationFont(const QFont& font) : m_saved(QApplication::font())
{
    QApplication::setFont(font);
}

ScopedApplicationFont::~ScopedApplicationFont()
{
    QApplication::setFont(m_saved);
}

}  // namespace qtlayer
