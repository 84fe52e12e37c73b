#pragma once
#include <QRect>
#include <QRegion>
#include <QSize>

class QWidget;

namespace zd::common {

// Gives a window rounded corners by setting its mask.
class clsRounder {
public:
    // Region for an inner size W x H: rounded rectangle from (W/60, H/60) to
    // (W-4, H) with corner ellipses W/10 x H/10 (halves rounded to even).
    // regionRect's right and bottom edges are exclusive: for 480 x 243 it is
    // x 8..475, y 4..242, i.e. QRect(8, 4, 468, 239).
    static QRect regionRect(const QSize &inner);
    static QSize cornerSize(const QSize &inner);
    static QRegion roundedRegion(const QSize &inner);

    void RoundedBorder(QWidget *window);
    QRegion lastRegion() const { return m_region; }

private:
    QRegion m_region;
};

} // namespace zd::common
