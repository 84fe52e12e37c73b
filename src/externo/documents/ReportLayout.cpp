#include "ReportLayout.h"

namespace zd::documents {

namespace {

const QColor kGrey(128, 128, 128);
const QColor kOlive(128, 128, 0);

ReportControl label(const QString &name, int l, int t, int w, int h, const QString &text,
                    double pt = 8, Qt::Alignment align = Qt::AlignLeft, bool bold = false,
                    const QColor &color = Qt::black)
{
    ReportControl c;
    c.name = name;
    c.kind = ControlKind::Label;
    c.rect = QRect(l, t, w, h);
    c.text = text;
    c.fontPt = pt;
    c.align = align;
    c.bold = bold;
    c.color = color;
    return c;
}

ReportControl shape(const QString &name, int l, int t, int w, int h)
{
    ReportControl c;
    c.name = name;
    c.kind = ControlKind::Shape;
    c.rect = QRect(l, t, w, h);
    return c;
}

ReportControl rule(const QString &name, int l, int t, int w, int h)
{
    ReportControl c;
    c.name = name;
    c.kind = ControlKind::Rule;
    c.rect = QRect(l, t, w, h);
    return c;
}

ReportControl field(const QString &name, int l, int w, int h, Qt::Alignment align,
                    int column, const QString &columnName)
{
    ReportControl c;
    c.name = name;
    c.kind = ControlKind::TextField;
    c.rect = QRect(l, 0, w, h);
    c.align = align;
    c.fontPt = 8;
    c.field = column;
    c.boundColumn = columnName;
    return c;
}

ReportSection reportHeader()
{
    ReportSection s{QStringLiteral("Sección4"), 1167, {}};
    ReportControl logo;
    logo.name = QStringLiteral("Image1");
    logo.kind = ControlKind::Picture;
    logo.rect = QRect(0, 0, 6225, 1125);
    s.controls << logo
               << label("Etiqueta9", 7937, 0, 2160, 255, "Nombre de pages:", 8, Qt::AlignLeft, false, kGrey)
               << label("Etiqueta8", 10205, 0, 405, 240, "%P", 8, Qt::AlignLeft, false, kGrey)
               << label("Lote", 6803, 700, 800, 300, "Lot:", 9)
               << label("EtqLote", 7600, 700, 3172, 300, QString(), 9);
    return s;
}

ReportSection pageHeader()
{
    ReportSection s{QStringLiteral("Sección2"), 2838, {}};
    auto &c = s.controls;
    c << shape("Forma4", 0, 0, 6240, 1140);
    const int tops[4] = {25, 275, 525, 775};
    const int shopHeights[4] = {240, 250, 255, 255};
    const int custWidths[4] = {5103, 5103, 5097, 5097};
    const int custHeights[4] = {240, 255, 255, 240};
    for (int i = 0; i < 4; ++i) {
        const QString shop = QStringLiteral("LblEmpresa%1").arg(i);
        const QString cust = QStringLiteral("LblCliente%1").arg(i);
        // The first line (the name) stands out.
        c << label(shop, 0, tops[i], 6236, shopHeights[i], shop, i == 0 ? 10 : 9, Qt::AlignHCenter, i == 0);
        c << label(cust, 6236, tops[i], custWidths[i], custHeights[i], cust, i == 0 ? 10 : 9,
                   Qt::AlignHCenter, i == 0);
    }
    c << shape("Forma13", 0, 1134, 6240, 1140)
      << label("Etiqueta12", 0, 1134, 1695, 570, "Date", 9, Qt::AlignHCenter, true)
      << label("Etiqueta13", 1701, 1134, 2280, 570, "Nº Facture", 9, Qt::AlignHCenter, true)
      << label("Etiqueta14", 3969, 1134, 2265, 570, " Id. Fi.Client", 9, Qt::AlignLeft, true)
      << rule("Línea5", 1701, 1134, 0, 1140)
      << rule("Línea6", 3969, 1134, 0, 1140)
      << rule("Línea4", 0, 1701, 6240, 0)
      << label("LblFecha", 0, 1800, 1701, 467, QString(), 10, Qt::AlignHCenter)
      << label("LblNFactura", 1701, 1800, 2268, 467, QString(), 10, Qt::AlignHCenter)
      << label("LblIdCliente", 3969, 1800, 2265, 465, QString(), 10, Qt::AlignHCenter)
      << label("LblFacturaLiteral", 6803, 1701, 3969, 585, "   FACTURA", 16, Qt::AlignLeft, true, kOlive)
      // A credit note's reference to the invoice it corrects; empty otherwise.
      << label("LblAvoirSur", 8560, 1740, 2210, 520, QString(), 8)
      << label("Etiqueta23", 6803, 1134, 1140, 255, "Page n°", 8, Qt::AlignLeft, false, kGrey)
      << label("Etiqueta7", 7700, 1134, 360, 240, "%p", 8)
      << label("Etiqueta24", 8200, 1134, 570, 255, "De ", 8, Qt::AlignLeft, false, kGrey)
      << label("Etiqueta25", 8800, 1134, 405, 240, "%P", 8, Qt::AlignLeft, false, kGrey)
      << label("EtqCopia", 9638, 1134, 1140, 300, "   Copie", 9)
      << label("Etiqueta11", 9638, 1400, 1140, 300, "  Original", 9)
      << shape("Forma1", 0, 2268, 10770, 510);
    const int rules[6] = {1134, 2268, 5669, 6803, 7937, 9071};
    const char *ruleNames[6] = {"Línea1", "Línea2", "Línea3", "Línea7", "Línea8", "Línea10"};
    for (int i = 0; i < 6; ++i)
        c << rule(QString::fromUtf8(ruleNames[i]), rules[i], 2268, 0, 570);
    c << label("Etiqueta15", 0, 2450, 1125, 250, "  NºTicket", 8, Qt::AlignLeft, true)
      << label("Etiqueta16", 1134, 2450, 1125, 250, "  Cod.Art.", 8, Qt::AlignLeft, true)
      << label("Etiqueta17", 2268, 2450, 3401, 250, "               Descriptif", 8, Qt::AlignLeft, true)
      << label("Etiqueta18", 5669, 2450, 1140, 250, " Quantité", 8, Qt::AlignLeft, true)
      << label("Etiqueta19", 6803, 2450, 1125, 250, "      Prix", 8, Qt::AlignLeft, true)
      << label("Etiqueta20", 7937, 2450, 1140, 250, " Remise(€)", 8, Qt::AlignLeft, true)
      << label("Etiqueta22", 9071, 2450, 1695, 250, "        Montant", 8, Qt::AlignLeft, true);
    return s;
}

ReportSection detail()
{
    ReportSection s{QStringLiteral("Sección1"), 570, {}};
    auto &c = s.controls;
    c << field("Texto1", 0, 1125, 567, Qt::AlignHCenter, 1, "N°Ticket")
      << field("Texto2", 1134, 1125, 567, Qt::AlignHCenter, 2, "Cod.Art.")
      << field("Texto3", 2268, 3401, 570, Qt::AlignHCenter, 3, "Descriptif")
      << field("Texto4", 5669, 1140, 570, Qt::AlignHCenter, 4, "Quantité")
      << field("Texto5", 6803, 1125, 570, Qt::AlignHCenter, 5, "Prix")
      << field("Texto6", 7937, 1140, 570, Qt::AlignHCenter, 6, "Remise")
      << field("Texto7", 9071, 1500, 570, Qt::AlignRight, 7, "Montant");
    const int lefts[8] = {0, 1134, 2268, 5669, 6803, 7937, 9071, 10772};
    const char *names[8] = {"Línea9", "Línea11", "Línea12", "Línea13",
                            "Línea15", "Línea16", "Línea17", "Línea18"};
    for (int i = 0; i < 8; ++i)
        c << rule(QString::fromUtf8(names[i]), lefts[i], 0, 0, 570);
    // The band's last rule closes the grid at the bottom of each line.
    c << rule(QString::fromUtf8("Línea19"), 0, 570, 10772, 0);
    return s;
}

ReportSection pageFooter()
{
    ReportSection s{QStringLiteral("Sección3"), 2622, {}};
    auto &c = s.controls;
    c << shape("Forma8", 0, 0, 3975, 2265)
      << label("Etiqueta3", 0, 100, 1695, 250, "     Base HT.", 9, Qt::AlignLeft, true)
      << label("Etiqueta4", 1701, 100, 570, 250, "   %", 9, Qt::AlignLeft, true)
      << label("Etiqueta10", 2268, 100, 1710, 250, "         TVA", 9, Qt::AlignLeft, true)
      << rule("Línea20", 1701, 0, 0, 570)
      << rule("Línea21", 2268, 0, 0, 570)
      << rule("Línea22", 0, 567, 3975, 0)
      << label("LblPor", 1701, 70, 570, 510, QString(), 9);
    const int tops[3] = {567, 1134, 1701};
    const int baseH[3] = {570, 555, 570};
    const int porH[3] = {570, 555, 570};
    const int ivaH[3] = {555, 555, 570};
    for (int i = 0; i < 3; ++i) {
        c << label(QStringLiteral("LblBase%1").arg(i + 1), 0, tops[i], 1695, baseH[i], QString(), 9, Qt::AlignHCenter)
          << label(QStringLiteral("LblPor%1").arg(i + 1), 1701, tops[i], 570, porH[i], QString(), 9, Qt::AlignHCenter)
          << label(QStringLiteral("LblIva%1").arg(i + 1), 2268, tops[i], 1710, ivaH[i], QString(), 9, Qt::AlignHCenter);
    }
    c << shape("Forma3", 6236, 0, 4530, 1695)
      << label("Etiqueta1", 6803, 50, 1695, 350, "   Total HT:", 10, Qt::AlignLeft, true)
      << label("Etiqueta2", 6803, 617, 1695, 350, "        TVA :", 10, Qt::AlignLeft, true)
      << label("label3", 6803, 1184, 1695, 350, "TOTAL   €:", 10, Qt::AlignLeft, true)
      << label("LblTotBruto", 8504, 0, 2100, 570, QString(), 10, Qt::AlignRight)
      << label("LblImpuestos", 8504, 567, 2100, 570, QString(), 10, Qt::AlignRight)
      << label("LblTotal", 8504, 1134, 2100, 555, QString(), 10, Qt::AlignRight, true)
      << label("Etiqueta6", 9071, 2268, 1140, 255, "Page n°", 8, Qt::AlignLeft, false, kGrey)
      << label("Etiqueta5", 10205, 2268, 360, 240, "%p", 8);
    return s;
}

} // namespace

ReportControl *ReportSection::find(const QString &controlName)
{
    for (auto &c : controls)
        if (c.name.compare(controlName, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const ReportControl *ReportSection::find(const QString &controlName) const
{
    return const_cast<ReportSection *>(this)->find(controlName);
}

ReportControl *ReportLayout::find(const QString &controlName)
{
    for (auto &s : sections)
        if (auto *c = s.find(controlName))
            return c;
    return nullptr;
}

const ReportControl *ReportLayout::find(const QString &controlName) const
{
    return const_cast<ReportLayout *>(this)->find(controlName);
}

ReportLayout ReportLayout::dataReport1()
{
    ReportLayout layout;
    layout.width = 11340;
    layout.sections[ReportHeader] = reportHeader();
    layout.sections[PageHeader] = pageHeader();
    layout.sections[Detail] = detail();
    layout.sections[PageFooter] = pageFooter();
    // The invoice's legal mentions follow its last line (empty on a delivery
    // note: the band then keeps its designed height).
    layout.sections[ReportFooter] =
        ReportSection{QStringLiteral("Sección5"), 30,
                      {label(QStringLiteral("LblMentions"), 0, 60, 11340, kMentionsHeight, QString(), 7)}};
    return layout;
}

} // namespace zd::documents
