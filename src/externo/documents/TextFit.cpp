#include "TextFit.h"

#include <QFontMetricsF>

namespace zd::documents {

namespace {

const QString kFontFamily = QStringLiteral("DejaVu Sans");
constexpr double kStep = 0.5;

} // namespace

QFont reportFont(double points, bool bold)
{
    QFont f(kFontFamily);
    f.setPixelSize(qMax(1, int(points * 20 + 0.5)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

FittedText fitText(const QString &text, const QRectF &box, double designPoints, bool bold,
                   Qt::Alignment align, QPaintDevice *device)
{
    // A text of several lines (broken at '\n') is only ever wrapped.
    const bool lines = text.contains(QLatin1Char('\n'));
    const int oneLine = int(align | Qt::AlignVCenter | Qt::TextSingleLine);
    const QFont designed = reportFont(designPoints, bold);
    if (!lines && QFontMetricsF(designed, device).horizontalAdvance(text) <= box.width())
        return {designed, oneLine};

    // Smaller on one line, while it stays legible.
    for (double pt = designPoints - kStep; !lines && pt >= MinimumPoints; pt -= kStep) {
        const QFont f = reportFont(pt, bold);
        if (QFontMetricsF(f, device).horizontalAdvance(text) <= box.width())
            return {f, oneLine};
    }
    // Over several lines, broken between words (inside a word only when one
    // word alone is wider than the box).
    const int wrapped = int(align | (lines ? Qt::AlignTop : Qt::AlignVCenter) | Qt::TextWordWrap);
    const double start = lines ? designPoints : qMin(designPoints, MinimumPoints);
    for (double pt = start; pt >= FloorPoints; pt -= kStep) {
        const QFont f = reportFont(pt, bold);
        const QFontMetricsF m(f, device);
        const QRectF needed = m.boundingRect(QRectF(0, 0, box.width(), 1e9), wrapped, text);
        if (needed.width() <= box.width() && needed.height() <= box.height())
            return {f, wrapped};
    }
    return {reportFont(FloorPoints, bold),
            int(align | (lines ? Qt::AlignTop : Qt::AlignVCenter) | Qt::TextWrapAnywhere)};
}

} // namespace zd::documents
