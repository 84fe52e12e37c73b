#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QtTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace zd::sql;

namespace {
// A TCP socket on a free loopback port; listening or not, as asked.
struct LoopbackSocket {
    int fd = -1;
    int port = 0;
    explicit LoopbackSocket(bool listening)
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        socklen_t len = sizeof addr;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0
            && ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
            port = ntohs(addr.sin_port);
        if (listening)
            ::listen(fd, 4);
    }
    ~LoopbackSocket() { ::close(fd); }
};

EngineConfig sqlServerConfig(int loginTimeout)
{
    EngineConfig c;
    c.kind = EngineKind::SqlServer;
    c.programFolder = QDir::tempPath();
    c.loginTimeoutSeconds = loginTimeout;
    return c;
}
} // namespace

class TstOdbcEngine : public QObject {
    Q_OBJECT
private slots:
    void connectionString();
    void driverLoads();
    void nothingListeningFailsAtOnce();
    void silentServerFailsAfterLoginTimeout();
};

void TstOdbcEngine::connectionString()
{
    const ConnectionTarget pos = parseConnectionString(posConnectionString(QStringLiteral("Tillvane03"),
                                                                           QStringLiteral("10.0.0.5")));
    QCOMPARE(odbcConnectionString(pos, QStringLiteral("FreeTDS")),
             QStringLiteral("DRIVER={FreeTDS};SERVER=10.0.0.5;PORT=1433;DATABASE=Tillvane03;UID=tessaronuser;"
                            "PWD=pinewharf.42;TDS_Version=7.3"));
    // The server itself has no DATABASE key; the port comes from the target.
    ConnectionTarget server = parseConnectionString(serverConnectionString());
    server.port = QStringLiteral("14330");
    QCOMPARE(odbcConnectionString(server, QStringLiteral("ODBC Driver 18 for SQL Server")),
             QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};SERVER=127.0.0.1;PORT=14330;UID=tessaronuser;"
                            "PWD=pinewharf.42;TDS_Version=7.3"));
    // A configured name cannot smuggle in keys of its own.
    ConnectionTarget odd = pos;
    odd.catalog = QStringLiteral("x;UID=sa");
    QVERIFY(odbcConnectionString(odd, QStringLiteral("FreeTDS")).contains(QLatin1String("DATABASE={x;UID=sa};")));
}

void TstOdbcEngine::driverLoads()
{
    QVERIFY(QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC")));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("probe"));
    QVERIFY(db.isValid());
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
}

void TstOdbcEngine::nothingListeningFailsAtOnce()
{
    LoopbackSocket unused(false); // bound but not listening: connections are refused
    QVERIFY(unused.port > 0);
    Connection c(sqlServerConfig(5));
    QElapsedTimer timer;
    timer.start();
    const QString text = QStringLiteral("Provider=SQLOLEDB;Uid=tessaronuser;password=pinewharf.42;"
                                        "Initial Catalog=TRS_FAC;Data Source=127.0.0.1,%1")
                             .arg(unused.port);
    QVERIFY(!c.open(text));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!c.isOpen());
    QVERIFY2(c.lastError().startsWith(QLatin1String("[odbc] cannot reach catalog TRS_FAC on server 127.0.0.1,")),
             qPrintable(c.lastError()));
    QCOMPARE(c.target().port, QString::number(unused.port));
    // A failed statement on a connection that never opened reports, not crashes.
    bool ok = true;
    c.query(QStringLiteral("select 1"), &ok);
    QVERIFY(!ok);
}

void TstOdbcEngine::silentServerFailsAfterLoginTimeout()
{
    LoopbackSocket silent(true); // accepts the connection, never answers the login
    QVERIFY(silent.port > 0);
    Connection c(sqlServerConfig(2));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!c.open(QStringLiteral("Provider=SQLOLEDB;Uid=u;password=p;Data Source=127.0.0.1,%1").arg(silent.port)));
    QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TstOdbcEngine)
#include "tst_odbcengine.moc"
