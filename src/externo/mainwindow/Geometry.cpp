#include "Geometry.h"

#include <QWidget>

namespace zd::geometry {

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(tw(left), tw(top), tw(width), tw(height));
}

} // namespace zd::geometry
