// The picture loader: opaque result over the background, own size, errors.
#include "common/Pictures.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using zd::common::LoadGdiPicture;
using zd::common::PictureError;

class TestPictures : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_png;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // 40 x 20, transparent, with an opaque red square in the middle.
        QImage img(40, 20, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter(&img).fillRect(QRect(15, 5, 10, 10), Qt::red);
        m_png = m_dir.filePath(QStringLiteral("logo.png"));
        QVERIFY(img.save(m_png, "PNG"));
    }

    void transparentPartsShowTheBackground()
    {
        int w = -1, h = -1;
        const QImage out = LoadGdiPicture(m_png, w, h, Qt::white).toImage();
        QVERIFY(!out.hasAlphaChannel());
        QCOMPARE(out.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(out.pixelColor(39, 19), QColor(Qt::white));
        QCOMPARE(out.pixelColor(20, 10), QColor(Qt::red));

        int w2 = -1, h2 = -1;
        const QImage blue = LoadGdiPicture(m_png, w2, h2, QColor(0, 0, 255)).toImage();
        QCOMPARE(blue.pixelColor(0, 0), QColor(0, 0, 255));
    }

    void minusOneInEitherGivesOwnSize_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("both -1") << -1 << -1;
        QTest::newRow("width -1, height 50") << -1 << 50;
        QTest::newRow("width 90, height -1") << 90 << -1;
    }
    void minusOneInEitherGivesOwnSize()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        const QPixmap pm = LoadGdiPicture(m_png, width, height);
        QCOMPARE(width, 40);
        QCOMPARE(height, 20);
        QCOMPARE(pm.size(), QSize(40, 20));
    }

    void otherSizeStretches()
    {
        int w = 80, h = 60;
        const QImage out = LoadGdiPicture(m_png, w, h).toImage();
        QCOMPARE(out.size(), QSize(80, 60));
        QCOMPARE(w, 80);
        QCOMPARE(h, 60);
        QCOMPARE(out.pixelColor(40, 30), QColor(Qt::red));   // the square, stretched
        QCOMPARE(out.pixelColor(20, 30), QColor(Qt::white));  // left of it
        QCOMPARE(out.pixelColor(40, 5), QColor(Qt::white));   // above it
    }

    void unreadableFileRaisesError999_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing") << m_dir.filePath(QStringLiteral("absent.png"));
        const QString bad = m_dir.filePath(QStringLiteral("not_a_picture.png"));
        QFile f(bad);
        if (f.open(QIODevice::WriteOnly))
            f.write("this is text, not a picture");
        QTest::newRow("not a picture") << bad;
    }
    void unreadableFileRaisesError999()
    {
        QFETCH(QString, path);
        int w = -1, h = -1;
        try {
            LoadGdiPicture(path, w, h);
            QFAIL("no error raised");
        } catch (const PictureError &e) {
            QCOMPARE(e.number(), 999);
            QCOMPARE(e.source(), QStringLiteral("GDI+ Module"));
            QCOMPARE(e.description(), QStringLiteral("Error loading picture ") + path);
        }
        QCOMPARE(w, -1); // nothing else happens
        QCOMPARE(h, -1);
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
