#include "books_helpers.h"

#include "books/BooksCommands.h"
#include "externo/archive/ArchiveDocument.h"
#include "externo/books/Chain.h"
#include "externo/store/Cancellation.h"
#include "externo/store/Facturas.h"

#include <QPainter>
#include <QTest>
#include <QTextStream>

namespace zd::test {

namespace {

LineRecordSet linesFor(int ticket, int pos)
{
    return {line(1, ticket, 1001, QStringLiteral("Pommes"), QStringLiteral("1.500"), QStringLiteral("2.00"),
                 QStringLiteral("0.00"), QStringLiteral("3.00"), pos),
            line(2, ticket + 1, 1002, QStringLiteral("L'huile d'olive"), QStringLiteral("2.000"),
                 QStringLiteral("4.25"), QStringLiteral("0.50"), QStringLiteral("8.00"), pos + 1)};
}

QString issue(StoreFixture &f, qint16 type, int pos)
{
    AppState &s = f.state();
    s.SelectionBase = 11;
    s.SelectionTax = 1.1;
    const QString id = IssueDocument(s, linesFor(pos - 40, pos), type, {pos, pos + 1});
    if (id == QLatin1String(kIssueFailed))
        qFatal("issue failed");
    return id;
}

} // namespace

BooksDay RunBooksDay(StoreFixture &f, int firstTicket)
{
    for (int t = firstTicket; t < firstTicket + 6; ++t)
        f.addTicket(t);
    BooksDay day;
    AppState &s = f.state();
    day.invoice = issue(f, 1, firstTicket);
    archive::PageSource pages;
    pages.pageCount = 1;
    pages.paint = [](QPainter &p, int) { p.fillRect(1440, 1440, 2880, 720, Qt::black); };
    const archive::ArchiveResult archived = archive::ArchiveDocument(s, day.invoice, pages);
    if (archived.status != archive::ArchiveResult::Status::Written)
        qFatal("not archived: %s", qPrintable(archived.error));
    day.invoiceArchive = archived.path;
    s.CopyNumber = 1;
    if (!AdvanceCopyCounter(s, day.invoice))
        qFatal("copy not counted");
    day.cancelledNote = issue(f, 0, firstTicket + 2);
    LineRecordSet loaded;
    LoadDocument(s, day.cancelledNote, &loaded);
    if (CancelDeliveryNote(s, day.cancelledNote, loaded) != CancelOutcome::Cancelled)
        qFatal("not cancelled");
    day.note = issue(f, 0, firstTicket + 4);
    return day;
}

int RunVerify(StoreFixture &f, QStringList *lines)
{
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    const int status = books::Verify(f.state(), o, e);
    *lines = (out + err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return status;
}

void RecomputeChain(const QString &storeFile)
{
    QString previous;
    for (const QVariantList &r : StoreFixture::rows(
             storeFile, QStringLiteral("SELECT Secuencia, Version, Momento, Evento, Texto FROM Registro ORDER BY 1"))) {
        books::ChainRecord rec;
        rec.seq = r[0].toLongLong();
        rec.version = r[1].toInt();
        rec.moment = r[2].toString();
        rec.event = r[3].toString();
        rec.text = r[4].toString();
        previous = books::RecordHash(previous, rec);
        StoreFixture::exec(storeFile, QStringLiteral("UPDATE Registro SET Huella='%1' WHERE Secuencia=%2")
                                          .arg(previous)
                                          .arg(rec.seq));
    }
}

} // namespace zd::test
