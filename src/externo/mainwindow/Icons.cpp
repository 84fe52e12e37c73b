#include "Icons.h"

#include <QHash>
#include <QLoggingCategory>
#include <QPixmap>

Q_LOGGING_CATEGORY(zdPictures, "zedorev.pictures")

namespace zd {

QIcon treeIcon(int number)
{
    static const QHash<int, QIcon> icons = [] {
        QHash<int, QIcon> h;
        for (int i = 1; i <= 9; ++i) {
            const QString path = QStringLiteral(":/assets/icon%1.png").arg(i);
            const QPixmap picture(path);
            if (picture.isNull())
                qCWarning(zdPictures).noquote() << "missing embedded picture" << path;
            h.insert(i, QIcon(picture));
        }
        return h;
    }();
    return icons.value(number);
}

} // namespace zd
