// queryLastRow gives the row query() would have given last, whatever the
// ORDER BY, and falls back to reading every row when it cannot reverse it.
#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace zd::sql;

class TstLastRow : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<Connection> m_db;

private slots:
    void initTestCase()
    {
        EngineConfig config;
        config.programFolder = m_dir.path();
        Connection server(config);
        QVERIFY(server.open(serverConnectionString()));
        QVERIFY2(server.execute("CREATE DATABASE Shop"), qPrintable(server.lastError()));
        m_db = std::make_unique<Connection>(config);
        QVERIFY(m_db->open(posConnectionString("Shop", "127.0.0.1")));
        QVERIFY(m_db->execute("create table documento (id integer, fecha datetime, hora datetime, n integer)"));
        QVERIFY(m_db->execute("create index ix on documento(fecha, hora)"));
        const char *rows[][4] = {
            {"1", "2021-03-05 10:00:00.000", "2021-03-05 10:00:00.000", "7"},
            {"2", "2021-03-07 09:00:00.000", "2021-03-07 09:00:00.000", "3"},
            {"3", "2021-03-06 11:00:00.000", "2021-03-06 11:00:00.000", "9"},
            {"4", "2021-03-07 09:00:00.863", "2021-03-07 09:00:00.000", "1"},
        };
        for (const auto &r : rows)
            QVERIFY(m_db->execute(QString("insert into documento values (%1, '%2', '%3', %4)")
                                      .arg(r[0], r[1], r[2], r[3])));
    }

    void sameRowAsTheFullQuery_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("dates ascending") << "select * from dbo.documento order by fecha,hora";
        QTest::newRow("descending key") << "select * from dbo.documento order by n DESC";
        QTest::newRow("mixed") << "select * from dbo.documento order by hora ASC, n desc";
        QTest::newRow("filtered") << "select * from dbo.documento where ((SUBSTRING(convert(varchar(23),fecha,121),21,3)='000')) order by fecha,hora";
        QTest::newRow("expression order: read through") << "select * from dbo.documento order by n % 5";
    }
    void sameRowAsTheFullQuery()
    {
        QFETCH(QString, sql);
        bool ok = false;
        const RecordSet all = m_db->query(sql, &ok);
        QVERIFY(ok);
        const RecordSet last = m_db->queryLastRow(sql, &ok);
        QVERIFY(ok);
        QCOMPARE(last.rowCount(), 1);
        QCOMPARE(last.value(0, "id"), all.value(all.rowCount() - 1, "id"));
    }

    void emptyResultAndErrors()
    {
        bool ok = false;
        QVERIFY(m_db->queryLastRow("select * from dbo.documento where id=99 order by fecha", &ok).isEmpty());
        QVERIFY(ok);
        m_db->queryLastRow("select * from dbo.nosuchtable order by fecha", &ok);
        QVERIFY(!ok);
        QVERIFY(!m_db->lastError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstLastRow)
#include "tst_lastrow.moc"
