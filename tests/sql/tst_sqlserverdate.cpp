#include "externo/sql/SqlServerDate.h"

#include <QtTest>
#include <sqlite3.h>

namespace dt = zd::sql::datetime;

class TstSqlServerDate : public QObject {
    Q_OBJECT
private slots:
    void parsesAndFormats_data();
    void parsesAndFormats();
    void addsDays_data();
    void addsDays();
    void rejectsBadText_data();
    void rejectsBadText();
    void qDateTimeRoundTrip();
    void sqliteFunctions();
};

void TstSqlServerDate::parsesAndFormats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("style121");
    QTest::newRow("date only") << "2021-03-05" << "2021-03-05 00:00:00.000";
    QTest::newRow("whole second") << "2021-03-05 10:15:42" << "2021-03-05 10:15:42.000";
    QTest::newRow("T separator") << "2021-03-05T10:15:42.500" << "2021-03-05 10:15:42.500";
    QTest::newRow(".001 -> .000") << "2021-03-05 10:15:42.001" << "2021-03-05 10:15:42.000";
    QTest::newRow(".002 -> .003") << "2021-03-05 10:15:42.002" << "2021-03-05 10:15:42.003";
    QTest::newRow(".004 -> .003") << "2021-03-05 10:15:42.004" << "2021-03-05 10:15:42.003";
    QTest::newRow(".005 -> .007") << "2021-03-05 10:15:42.005" << "2021-03-05 10:15:42.007";
    QTest::newRow(".008 -> .007") << "2021-03-05 10:15:42.008" << "2021-03-05 10:15:42.007";
    QTest::newRow(".009 -> .010") << "2021-03-05 10:15:42.009" << "2021-03-05 10:15:42.010";
    QTest::newRow(".863 stays") << "2021-03-05 10:15:42.863" << "2021-03-05 10:15:42.863";
    QTest::newRow(".997 stays") << "2021-03-15 23:59:59.997" << "2021-03-15 23:59:59.997";
    QTest::newRow(".998 -> .997") << "2021-03-15 23:59:59.998" << "2021-03-15 23:59:59.997";
    QTest::newRow(".999 carries into next day") << "2020-12-31 23:59:59.999" << "2021-01-01 00:00:00.000";
    QTest::newRow("one fraction digit") << "2021-03-05 10:15:42.5" << "2021-03-05 10:15:42.500";
    QTest::newRow("leap day") << "2020-02-29 12:00:00" << "2020-02-29 12:00:00.000";
    QTest::newRow("lowest date") << "1753-01-01" << "1753-01-01 00:00:00.000";
    QTest::newRow("before day 0") << "1899-12-31 23:00:00" << "1899-12-31 23:00:00.000";
}

void TstSqlServerDate::parsesAndFormats()
{
    QFETCH(QString, text);
    QFETCH(QString, style121);
    const auto v = dt::parse(text);
    QVERIFY(v);
    QCOMPARE(dt::toStyle121(*v), style121);
}

void TstSqlServerDate::addsDays_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<double>("days");
    QTest::addColumn<QString>("result");
    // 0.00001 day = 0.864 s = 259.2 ticks -> 259 ticks = 0.8633 s
    QTest::newRow("invoiced mark") << "2021-03-05 10:15:42.000" << 0.00001 << "2021-03-05 10:15:42.863";
    QTest::newRow("mark twice") << "2021-03-05 10:15:42.863" << 0.00001 << "2021-03-05 10:15:43.727";
    QTest::newRow("mark at end of day") << "2021-03-05 23:59:59.000" << 0.00001 << "2021-03-05 23:59:59.863";
    QTest::newRow("whole day") << "2021-02-28 08:00:00.000" << 1.0 << "2021-03-01 08:00:00.000";
    QTest::newRow("half day back") << "2021-03-01 06:00:00.000" << -0.5 << "2021-02-28 18:00:00.000";
}

void TstSqlServerDate::addsDays()
{
    QFETCH(QString, start);
    QFETCH(double, days);
    QFETCH(QString, result);
    QCOMPARE(dt::toStyle121(dt::addDays(*dt::parse(start), days)), result);
}

void TstSqlServerDate::rejectsBadText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("day/month order") << "05/03/2021";
    QTest::newRow("no such day") << "2021-02-30";
    QTest::newRow("hour 24") << "2021-03-05 24:00:00";
    QTest::newRow("four fraction digits") << "2021-03-05 10:15:42.1234";
    QTest::newRow("trailing text") << "2021-03-05 10:15:42x";
    QTest::newRow("before 1753") << "1752-12-31";
}

void TstSqlServerDate::rejectsBadText()
{
    QFETCH(QString, text);
    QVERIFY(!dt::parse(text));
}

void TstSqlServerDate::qDateTimeRoundTrip()
{
    const QDateTime when(QDate(2021, 3, 5), QTime(10, 15, 42, 5));
    const dt::Value v = dt::fromQDateTime(when);
    QCOMPARE(dt::toStyle121(v), QStringLiteral("2021-03-05 10:15:42.007"));
    QCOMPARE(dt::toQDateTime(v), QDateTime(QDate(2021, 3, 5), QTime(10, 15, 42, 7)));
    // Out of range: the checked form refuses instead of wrapping around.
    QVERIFY(!dt::addDaysChecked(*dt::parse("9999-12-31 12:00:00"), 1.0));
}

void TstSqlServerDate::sqliteFunctions()
{
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
    QVERIFY(dt::registerFunctions(db));
    auto scalar = [db](const char *sql, QString *error = nullptr) {
        sqlite3_stmt *st = nullptr;
        QString out;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
            if (error)
                *error = QString::fromUtf8(sqlite3_errmsg(db));
            return out;
        }
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
            out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        else if (rc == SQLITE_ROW)
            out = QStringLiteral("NULL");
        else if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(st);
        return out;
    };
    QCOMPARE(scalar("select zd_dtadd('2021-03-05 10:15:42.000', 0.00001)"), QStringLiteral("2021-03-05 10:15:42.863"));
    QCOMPARE(scalar("select substr(zd_dt121('2021-03-05 10:15:42.863'),21,3)"), QStringLiteral("863"));
    QCOMPARE(scalar("select zd_dtparse(substr(zd_dt121('2021-03-05 10:15:42.863'),1,19))"),
             QStringLiteral("2021-03-05 10:15:42.000"));
    QCOMPARE(scalar("select zd_dt121(NULL)"), QStringLiteral("NULL"));
    // Texts laid out as style 121: shown as they are when on a tick or no
    // date at all, moved to the tick otherwise.
    const QList<QPair<const char *, const char *>> laidOut = {
        {"2021-03-05 10:15:42.863", "2021-03-05 10:15:42.863"},
        {"2021-03-05 10:15:42.007", "2021-03-05 10:15:42.007"},
        {"2021-03-05 10:15:42.001", "2021-03-05 10:15:42.000"},
        {"2021-03-05 10:15:42.005", "2021-03-05 10:15:42.007"},
        {"2021-03-05 23:59:59.999", "2021-03-06 00:00:00.000"},
        {"2021-02-30 10:15:42.000", "2021-02-30 10:15:42.000"},
        {"2021-03-05 24:15:42.000", "2021-03-05 24:15:42.000"},
        {"1752-12-31 10:15:42.001", "1752-12-31 10:15:42.001"},
        {"2021-03-05T10:15:42.863", "2021-03-05 10:15:42.863"},
        {"2021-03-05 10:15:42.86", "2021-03-05 10:15:42.860"},
    };
    for (const auto &[in, out] : laidOut) {
        const QByteArray sql = QByteArray("select zd_dt121('") + in + "')";
        QCOMPARE(scalar(sql.constData()), QString::fromLatin1(out));
    }
    QCOMPARE(scalar("select zd_dt121('not a date')"), QStringLiteral("not a date"));
    QString error;
    QVERIFY(scalar("select zd_dtparse('31/03/2021')", &error).isEmpty());
    QVERIFY2(error.contains(QLatin1String("Conversion failed")), qPrintable(error));
    error.clear();
    QVERIFY(scalar("select zd_dtadd('9999-12-31', 2)", &error).isEmpty());
    QVERIFY2(error.contains(QLatin1String("overflow")), qPrintable(error));
    // Deterministic functions may be used in an index.
    QCOMPARE(sqlite3_exec(db, "create table t(fecha text); create index i on t(zd_dt121(fecha));", nullptr, nullptr,
                          nullptr),
             SQLITE_OK);
    sqlite3_close(db);
}

QTEST_GUILESS_MAIN(TstSqlServerDate)
#include "tst_sqlserverdate.moc"
