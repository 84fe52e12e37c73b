#include "posdata_helpers.h"

#include "externo/sql/Connection.h"
#include "externo/sql/ConnectionStrings.h"

#include <QTest>

namespace posdata_test {

PosFixture::PosFixture()
    : m_pos(m_folder.path())
{
    if (!m_folder.isValid() || !m_pos.isValid()) {
        m_error = QStringLiteral("no point-of-sale file: ") + m_pos.lastError();
        return;
    }
    zd::sql::EngineConfig engine;
    engine.kind = zd::sql::EngineKind::Embedded;
    engine.programFolder = m_folder.path();
    m_state = std::make_unique<zd::AppState>(engine);
    m_state->PosConnection = m_state->newConnection();
    if (!m_state->PosConnection->open(
            zd::sql::posConnectionString(m_state->PosCatalog, m_state->PosServer)))
        m_error = m_state->PosConnection->lastError();
}

void PosFixture::addTicket(qint64 id, qint64 numero, const QString &fecha, qint64 customer,
                           int tipodocumento, int isfinalizado, qint64 abono)
{
    zd::test::TicketSpec t;
    t.iddocumento = qint32(id);
    t.numero = qint32(numero);
    t.fecha = fecha;
    t.hora = fecha;
    t.idcontacto = qint32(customer);
    t.tipodocumento = tipodocumento;
    t.isfinalizado = isfinalizado;
    t.iddocumentoabono = qint32(abono);
    t.idusuario = 3;
    t.numeroterminal = 2;
    t.totalneto = 12.5;
    t.taxes = QVector<zd::test::TaxSpec>{};
    QVERIFY2(m_pos.addTicket(t) == id, qPrintable(m_pos.lastError()));
}

void PosFixture::addLine(qint64 ticket, const QString &valuesAfterTicket)
{
    QVERIFY(exec(QStringLiteral("INSERT INTO lineadocumento (idlineadocumento, iddocumento, idarticulo, "
                                "descripcion, isventaporpeso, peso, unidades, precio, dtoslinea, importe, "
                                "dtoscabecera) VALUES (%1, %2, %3)")
                     .arg(m_nextRow++).arg(ticket).arg(valuesAfterTicket)));
}

void PosFixture::addTaxType(qint64 id, double pct, const QString &description)
{
    QVERIFY(exec(QStringLiteral("INSERT INTO TipoImpuesto (IdTipoImpuesto, porcentaje, descripcion) "
                                "VALUES (%1, %2, '%3')")
                     .arg(id).arg(pct).arg(description)));
}

void PosFixture::addTax(qint64 ticket, qint64 type, double base, double importe)
{
    QVERIFY(exec(QStringLiteral("INSERT INTO impuestodocumento (idimpuestodocumento, iddocumento, "
                                "idtipoimpuesto, baseimponible, importe) VALUES (%1, %2, %3, %4, %5)")
                     .arg(m_nextRow++).arg(ticket).arg(type).arg(base, 0, 'g', 17)
                     .arg(importe, 0, 'g', 17)));
}

bool PosFixture::createInvoiceStore()
{
    const QString file = m_state->engine.catalogFile(QString::fromLatin1(zd::sql::kLocalServer),
                                                     QString::fromLatin1(zd::sql::kInvoiceStoreCatalog));
    QString error;
    if (!m_store.open(file, true, &error)
        || !m_store.exec("CREATE TABLE facturas (IdDocumento NVARCHAR(15) NOT NULL PRIMARY KEY, "
                         "IdCliente INTEGER NOT NULL, FechaDocumento DATETIME)",
                         &error)) {
        qWarning("invoice store: %s", qPrintable(error));
        return false;
    }
    return true;
}

void PosFixture::addDocument(const QString &iddocumento, qint32 idcliente, const QString &fechaDocumento)
{
    QString error;
    QVERIFY2(m_store.exec(QStringLiteral("INSERT INTO facturas VALUES ('%1', %2, '%3')")
                              .arg(iddocumento).arg(idcliente).arg(fechaDocumento).toUtf8(),
                          &error),
             qPrintable(error));
}

void RecordingTotalsView::setTotalTexts(const QString &b, const QString &i, const QString &t)
{
    bruto = b;
    impuestos = i;
    total = t;
    ++totalCalls;
}

void RecordingTotalsView::setTaxRow(int k, bool visible, const QString &base, const QString &pct,
                                    const QString &iva, const QString &description)
{
    QVERIFY2(k >= 0 && k < kTaxRows, "tax row outside the five rows");
    rows[k].visible = visible;
    if (visible) {
        rows[k].base = base;
        rows[k].pct = pct;
        rows[k].iva = iva;
    }
    rows[k].description = visible ? description : rows[k].description;
}

void RecordingTotalsView::setTaxFrameBottomToRow(int k)
{
    QVERIFY2(k >= -1 && k < kTaxRows, "frame bottom outside the rows");
    frameBottom = k;
}

QList<int> RecordingTotalsView::visibleRows() const
{
    QList<int> out;
    for (int k = 0; k < kTaxRows; ++k) {
        if (rows[k].visible)
            out << k;
    }
    return out;
}

} // namespace posdata_test
