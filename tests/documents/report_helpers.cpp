#include "report_helpers.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

using zd::documents::DataReport1;

zd::LineRecordSet sampleLines(int lines)
{
    zd::LineRecordSet rows;
    for (int i = 0; i < lines; ++i) {
        rows.append(QStringList{
            QString::number(1000 + i),             // Id
            QString::number(5000 + i / 3),         // N°Ticket
            QStringLiteral("A%1").arg(i % 97, 3, 10, QLatin1Char('0')),
            QStringLiteral("Article numero %1").arg(i + 1),
            QStringLiteral("1,250"),
            QStringLiteral("12,40"),
            QStringLiteral("0,00"),
            QStringLiteral("15,50"),
            QString::number(i)});
    }
    return rows;
}

DataReport1 *makeSampleReport(int lines)
{
    auto *r = new DataReport1;
    r->setCaption("lblempresa0", "Boucherie Martin");
    r->setCaption("LblEmpresa1", "Id.Fiscal:FR12345678901");
    r->setCaption("LblEmpresa2", "12 rue des Halles Télép.:0102030405");
    r->setCaption("LblEmpresa3", "Lyon (69001) Rhône");
    r->setCaption("LblCliente0", "Restaurant Le Pré");
    r->setCaption("LblCliente1", "Id.Fiscal:FR98765432109");
    r->setCaption("LblCliente2", "4 place Bellecour Télép.:0607080910");
    r->setCaption("LblCliente3", "Lyon (69002) Rhône");
    r->setCaption("LblIdCliente", "FR98765432109");
    r->setCaption("LblFecha", "14/03/2025");
    r->setCaption("LblNFactura", "F011300250001");
    r->setCaption("Etiqueta11", "  Original");
    r->setCaption("LblFacturaLiteral", "   FACTURE");
    r->setCaption("Etiqueta13", "Nº Facture");
    r->setCaption("LblTotBruto", "1234,56");
    r->setCaption("LblImpuestos", "123,45");
    r->setCaption("LblTotal", "1358,01");
    r->setCaption("EtqLote", "LOT-2025-11");
    zd::ReportTaxLabels taxes;
    const char *base[3] = {"1000,00", "200,00", "34,56"};
    const char *por[3] = {"5,5", "10", "20"};
    const char *iva[3] = {"55,00", "20,00", "6,91"};
    for (int i = 0; i < 3; ++i) {
        taxes.base[i] = base[i];
        taxes.por[i] = por[i];
        taxes.iva[i] = iva[i];
    }
    r->setTaxLabels(taxes);
    r->setDetailRows(sampleLines(lines));
    return r;
}

QString runTool(const QString &program, const QStringList &args, int *exitCode)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted(5000) || !p.waitForFinished(30000)) {
        p.kill();
        if (exitCode)
            *exitCode = -1;
        return QString();
    }
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput());
}

QVector<PdfWord> pdfWords(const QString &pdfPath, int page)
{
    const QString out = runTool(QStringLiteral("pdftotext"),
                                {QStringLiteral("-q"), QStringLiteral("-bbox"), QStringLiteral("-f"),
                                 QString::number(page), QStringLiteral("-l"), QString::number(page),
                                 pdfPath, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QVector<PdfWord> words;
    auto it = re.globalMatch(out);
    while (it.hasNext()) {
        const auto m = it.next();
        // Points to twips.
        const QRectF box(QPointF(m.captured(1).toDouble() * 20, m.captured(2).toDouble() * 20),
                         QPointF(m.captured(3).toDouble() * 20, m.captured(4).toDouble() * 20));
        QString text = m.captured(5);
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
        text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        // The font's ligatures (fi, fl ...) read as their letters.
        static const QRegularExpression ligature(QStringLiteral("[\\x{FB00}-\\x{FB06}]"));
        if (text.contains(ligature))
            text = text.normalized(QString::NormalizationForm_KC);
        words.append({text, box});
    }
    return words;
}

QImage pdfPageImage(const QString &pdfPath, int page, int dpi)
{
    const QString prefix = pdfPath + QStringLiteral("-page");
    runTool(QStringLiteral("pdftoppm"), {QStringLiteral("-q"), QStringLiteral("-r"), QString::number(dpi),
                                         QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                         QString::number(page), QStringLiteral("-singlefile"),
                                         QStringLiteral("-png"), pdfPath, prefix});
    QImage image(prefix + QStringLiteral(".png"));
    QFile::remove(prefix + QStringLiteral(".png"));
    return image;
}

int darkPixels(const QImage &image, const QRect &twips, double dpi)
{
    const double k = dpi / 1440.0;
    const QRect r(qRound(twips.left() * k), qRound(twips.top() * k), qRound(twips.width() * k),
                  qRound(twips.height() * k));
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.valid(x, y) && qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

int pdfPageCount(const QString &pdfPath)
{
    int code = 0;
    const QString out = runTool(QStringLiteral("pdfinfo"), {pdfPath}, &code);
    static const QRegularExpression re(QStringLiteral("Pages:\\s+(\\d+)"));
    const auto m = re.match(out);
    return code == 0 && m.hasMatch() ? m.captured(1).toInt() : -1;
}

QRectF findText(const QVector<PdfWord> &words, const QString &text, const QRectF &within)
{
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QRectF();
    for (int i = 0; i + parts.size() <= words.size(); ++i) {
        QRectF box;
        bool match = true;
        for (int k = 0; k < parts.size() && match; ++k) {
            match = words[i + k].text == parts[k];
            box = box.isNull() ? words[i + k].box : box.united(words[i + k].box);
        }
        if (match && (within.isNull() || within.contains(box)))
            return box;
    }
    return QRectF();
}

bool textInside(const QVector<PdfWord> &words, const QString &text, const QRect &rect)
{
    // Glyph boxes of pdftotext reach a little above and below the text.
    const QRectF slack = QRectF(rect).adjusted(-20, -60, 20, 60);
    return !findText(words, text, slack).isNull();
}

QString ensureCupsQueue(const QString &queue, bool enabled)
{
    int code = 0;
    const QString status = runTool(QStringLiteral("lpstat"), {QStringLiteral("-r")}, &code);
    if (code < 0)
        return QStringLiteral("the CUPS client tools are not installed");
    if (!status.contains(QStringLiteral("is running"))) {
        // cupsd forks into the background and keeps running for later tests.
        runTool(QStringLiteral("cupsd"), {}, &code);
        for (int i = 0; i < 50; ++i) {
            if (runTool(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("is running")))
                break;
            QThread::msleep(100);
        }
        if (!runTool(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QStringLiteral("is running")))
            return QStringLiteral("cupsd could not be started");
    }
    runTool(QStringLiteral("lpstat"), {QStringLiteral("-p"), queue}, &code);
    if (code != 0) {
        const QString models = runTool(QStringLiteral("lpinfo"), {QStringLiteral("-m")});
        QString model;
        for (const auto &line : models.split(QLatin1Char('\n')))
            if (line.contains(QStringLiteral("CUPS-PDF"), Qt::CaseInsensitive)) {
                model = line.section(QLatin1Char(' '), 0, 0);
                break;
            }
        if (model.isEmpty())
            return QStringLiteral("no cups-pdf printer model is installed");
        runTool(QStringLiteral("lpadmin"),
                {QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"),
                 QStringLiteral("cups-pdf:/"), QStringLiteral("-m"), model},
                &code);
        if (code != 0)
            return QStringLiteral("lpadmin could not add the queue %1 (not allowed?)").arg(queue);
    }
    runTool(enabled ? QStringLiteral("cupsenable") : QStringLiteral("cupsdisable"), {queue}, &code);
    runTool(QStringLiteral("cupsaccept"), {queue}, &code);
    if (code != 0)
        return QStringLiteral("the queue %1 cannot be set up").arg(queue);
    return QString();
}
