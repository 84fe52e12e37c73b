// Rounded window outline and the bevelled dialog frame.
#include "common/Border.h"
#include "common/Rounder.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>
#include <QWidget>

using zd::common::clsRounder;

class TestGeometry : public QObject {
    Q_OBJECT

private slots:
    void roundedRegionOfA480x243Window()
    {
        const QSize inner(480, 243);
        const QRect r = clsRounder::regionRect(inner);
        QCOMPARE(r.topLeft(), QPoint(8, 4));
        QCOMPARE(r.left() + r.width(), 476);   // right edge (exclusive)
        QCOMPARE(r.top() + r.height(), 243);   // bottom edge (exclusive)
        QCOMPARE(clsRounder::cornerSize(inner), QSize(48, 24));

        const QRegion region = clsRounder::roundedRegion(inner);
        QVERIFY(region.contains(QPoint(240, 120)));
        QVERIFY(region.contains(QPoint(240, 4)));    // top edge, middle
        QVERIFY(region.contains(QPoint(8, 120)));    // left edge, middle
        QVERIFY(region.contains(QPoint(475, 120)));  // last column
        QVERIFY(region.contains(QPoint(240, 242)));  // last row
        QVERIFY(!region.contains(QPoint(7, 120)));
        QVERIFY(!region.contains(QPoint(476, 120)));
        QVERIFY(!region.contains(QPoint(240, 3)));
        // corners are cut by the ellipse, not square
        QVERIFY(!region.contains(QPoint(9, 5)));
        QVERIFY(!region.contains(QPoint(474, 241)));
        QVERIFY(region.contains(QPoint(8 + 24, 4 + 12)));
    }

    void halvesRoundToEven()
    {
        // 450/60 = 7.5 -> 8, 150/60 = 2.5 -> 2, 450/10 = 45, 150/10 = 15;
        // 330/60 = 5.5 -> 6, 45/10 = 4.5 -> 4
        QCOMPARE(clsRounder::regionRect(QSize(450, 150)).topLeft(), QPoint(8, 2));
        QCOMPARE(clsRounder::regionRect(QSize(330, 45)).topLeft(), QPoint(6, 1));
        QCOMPARE(clsRounder::cornerSize(QSize(330, 45)), QSize(33, 4));
    }

    void roundedBorderMasksTheWindow()
    {
        QWidget w;
        w.resize(480, 243);
        clsRounder rounder;
        rounder.RoundedBorder(&w);
        QCOMPARE(w.mask(), clsRounder::roundedRegion(QSize(480, 243)));
        QCOMPARE(rounder.lastRegion(), w.mask());
        rounder.RoundedBorder(nullptr); // ignored
        QCOMPARE(clsRounder::roundedRegion(QSize(3, 3)), QRegion()); // too small: nothing
    }

    void frameBevelsNestInward()
    {
        const auto bevels = zd::common::dialogFrameBevels(QSize(480, 243), 12);
        QCOMPARE(bevels.size(), 12);
        QCOMPARE(bevels.first(), QRect(0, 0, 478, 241));
        QCOMPARE(bevels.last(), QRect(11, 11, 456, 219));
        QVERIFY(zd::common::dialogFrameBevels(QSize(10, 10), 12).size() == 5);
    }

    // The frame as drawn: dark at top and left, light at bottom and right,
    // 12 pixels wide, the inside untouched.
    void frameIsPaintedSunken()
    {
        QImage img(480, 243, QImage::Format_RGB32);
        const QColor ground(0x12, 0x34, 0x56);
        img.fill(ground);
        {
            QPainter p(&img);
            zd::common::DrawDialogFrame(p, img.size(), 12);
        }
        const QPalette pal = QApplication::palette();
        const QColor dark = pal.color(QPalette::Active, QPalette::Dark);
        const QColor light = pal.color(QPalette::Active, QPalette::Light);
        QCOMPARE(img.pixel(100, 0), dark.rgb());    // outer top
        QCOMPARE(img.pixel(0, 100), dark.rgb());    // outer left
        QCOMPARE(img.pixel(100, 241), light.rgb()); // outer bottom
        QCOMPARE(img.pixel(478, 100), light.rgb()); // outer right
        QCOMPARE(img.pixel(100, 11), dark.rgb());   // innermost top
        QCOMPARE(img.pixel(467, 100), light.rgb()); // innermost right (11 + 456)
        QCOMPARE(img.pixel(100, 12), ground.rgb()); // inside the frame
        QCOMPARE(img.pixel(240, 120), ground.rgb());
        QCOMPARE(img.pixel(479, 100), ground.rgb()); // beyond the outer bevel
        QCOMPARE(img.pixel(100, 242), ground.rgb());
    }
};

QTEST_MAIN(TestGeometry)
#include "tst_geometry.moc"
