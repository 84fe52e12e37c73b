#pragma once
// Drawings shared by the artwork and icon generators, on a 32-unit canvas
// (one unit is one pixel of a 32-pixel icon; scale the painter for more).
#include <QColor>

class QPainter;

namespace zd::artwork {

extern const QColor kInk;
extern const QColor kBlue;
extern const QColor kTeal;
extern const QColor kAmber;
extern const QColor kGreen;
extern const QColor kRed;
extern const QColor kPaper;

// A head and shoulders figure, `s` the scale (1 = 32-pixel icon person).
void person(QPainter &p, double cx, double top, double s, const QColor &c);
// The green tick badge of the "chosen" icons, at the lower right.
void tick(QPainter &p);
// A till receipt with a torn-off edge.
void receipt(QPainter &p, double left = 7, double width = 17);
// A folded page marked ALB and FAC.
void document(QPainter &p);

} // namespace zd::artwork
