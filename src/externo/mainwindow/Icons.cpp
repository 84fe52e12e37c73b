#include "Icons.h"

#include <QHash>
#include <QPixmap>

namespace zd {

QIcon treeIcon(int number)
{
    static const QHash<int, QIcon> icons = [] {
        QHash<int, QIcon> h;
        for (int i = 1; i <= 7; ++i)
            h.insert(i, QIcon(QPixmap(QStringLiteral(":/assets/icon%1.png").arg(i))));
        return h;
    }();
    return icons.value(number);
}

} // namespace zd
