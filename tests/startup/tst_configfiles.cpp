#include "externo/startup/ConfigFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zd;

class TstConfigFiles : public QObject {
    Q_OBJECT
private slots:
    void posServer_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing file keeps the default") << QByteArray() << false << "127.0.0.1";
        QTest::newRow("empty file keeps the default") << QByteArray() << true << "127.0.0.1";
        QTest::newRow("first line only") << QByteArray("192.168.1.20\n10.0.0.9\n") << true << "192.168.1.20";
        QTest::newRow("CRLF is not part of the address") << QByteArray("10.0.0.5\r\nx\r\n") << true << "10.0.0.5";
        QTest::newRow("lone CR ends the line") << QByteArray("10.0.0.6\rnext") << true << "10.0.0.6";
        QTest::newRow("no line ending") << QByteArray("possrv") << true << "possrv";
        QTest::newRow("blank first line keeps the default") << QByteArray("\n10.0.0.7\n") << true << "127.0.0.1";
        QTest::newRow("blanks are kept verbatim") << QByteArray(" host \n") << true << " host ";
    }
    void posServer()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        if (exists) {
            QFile f(dir.path() + "/balanzaip.txt");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        QCOMPARE(readPosServer(dir.path(), "127.0.0.1"), expected);
    }

    void shopCatalogName_data()
    {
        QTest::addColumn<int>("shop");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << 0 << "Tillvane";
        QTest::newRow("5") << 5 << "Tillvane05";
        QTest::newRow("7") << 7 << "Tillvane07";
        QTest::newRow("99") << 99 << "Tillvane99";
        QTest::newRow("100") << 100 << "Tillvane100";
        QTest::newRow("123") << 123 << "Tillvane123";
        QTest::newRow("1234 keeps all digits") << 1234 << "Tillvane1234";
    }
    void shopCatalogName()
    {
        QFETCH(int, shop);
        QFETCH(QString, expected);
        QCOMPARE(shopCatalog("Tillvane", shop), expected);
    }

    void shopMarker()
    {
        QTemporaryDir dir;
        QVERIFY(!hasShopMarker(dir.path()));
        QFile f(dir.path() + "/office.txt");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(hasShopMarker(dir.path()));
    }
};

QTEST_GUILESS_MAIN(TstConfigFiles)
#include "tst_configfiles.moc"
