#include "FrmExterno.h"
#include "CaptionButton.h"
#include "Geometry.h"
#include "HeldKeys.h"
#include "TreeNodes.h"
#include "externo/dialogs/FrmEspera.h"   // the wait window owned by the window

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace zd {

using geometry::place;
using geometry::tw;

namespace {

QFont uiFont(double points, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

template <typename W>
W *make(QWidget *parent, const char *name)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, double points = 9)
{
    auto *l = make<QLabel>(parent, name);
    l->setText(text);
    l->setFont(uiFont(points));
    return l;
}

QLineEdit *textBox(QWidget *parent, const char *name, bool readOnly = false)
{
    auto *t = make<QLineEdit>(parent, name);
    t->setReadOnly(readOnly);
    t->setFont(uiFont(10, false));
    return t;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, double points = 9)
{
    QPushButton *b = make<CaptionButton>(parent, name);
    b->setText(caption);
    b->setFont(uiFont(points));
    b->setFocusPolicy(Qt::NoFocus);   // a touch on a button leaves the typing where it was
    return b;
}

QTreeWidget *tree(QWidget *parent, int index)
{
    auto *t = new QTreeWidget(parent);
    t->setObjectName(QStringLiteral("TreeClient_%1").arg(index));
    t->setProperty("index", index);
    t->setHeaderHidden(true);
    t->setColumnCount(1);
    t->setIconSize(QSize(32, 32));
    t->setFont(uiFont(10, false));
    t->setIndentation(24);
    t->setUniformRowHeights(true);
    return t;
}

} // namespace

FrmExterno::FrmExterno(AppState &state, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_background(QStringLiteral(":/assets/fondo_externo.jpg"))
{
    setObjectName(QStringLiteral("FrmExterno"));
    setWindowTitle(QStringLiteral("Tiques de Clientes."));
    buildControls();
    connect(CmdFin, &QPushButton::clicked, this, &FrmExterno::CmdFin_Click);
    installChoosingHandlers();
    connectDocumentSide();
    installPrintHandlers();
    m_state.MainWindow = this;
}

FrmExterno::~FrmExterno()
{
    waitForBooksCheck();
    if (m_state.MainWindow == this)
        m_state.MainWindow = nullptr;
}

void FrmExterno::buildControls()
{
    buildLeftColumn();
    buildMiddleColumn();
    buildRightColumn();
    buildTaxRows();
}

void FrmExterno::buildLeftColumn()
{
    Label1 = label(this, "Label1", QStringLiteral("CLIENT:"), 12);
    place(Label1, 0, 240, 1215, 375);
    TxtCliente = textBox(this, "TxtCliente");
    TxtCliente->setMaxLength(25);
    TxtCliente->setAlignment(Qt::AlignCenter);
    TxtCliente->setFont(uiFont(14));
    place(TxtCliente, 1200, 120, 4215, 495);

    for (int i = 0; i < 3; ++i)
        TreeClient[i] = tree(this, i);
    place(TreeClient[0], 0, 600, 5415, 2535);
    place(TreeClient[1], 0, 3720, 5415, 3375);
    place(TreeClient[2], 0, 3720, 5415, 3375);

    Label2 = label(this, "Label2", QStringLiteral("TICKET:"), 12);
    place(Label2, 0, 3360, 1095, 375);
    TxtTique = textBox(this, "TxtTique");
    TxtTique->setMaxLength(8);
    TxtTique->setFont(uiFont(14));
    place(TxtTique, 1200, 3240, 2175, 495);
    CmdBorraSel = button(this, "CmdBorraSel", QStringLiteral("Effacer sélection"));
    place(CmdBorraSel, 3600, 3120, 1815, 615);
    LblFacAlb = label(this, "LblFacAlb", QStringLiteral("FAC/ALB : "));
    LblFacAlb->hide();
    TxtFacAlb = textBox(this, "TxtFacAlb", true);
    place(TxtFacAlb, 3480, 3360, 1935, 375);
    TxtFacAlb->hide();

    // The sort buttons sit over the left edge of the ticket tree.
    CmdTiqDesc = button(this, "CmdTiqDesc", QStringLiteral("Z...A"), 8);
    place(CmdTiqDesc, 120, 4680, 615, 855);
    CmdTiqAsc = button(this, "CmdTiqAsc", QStringLiteral("A...Z"), 8);
    place(CmdTiqAsc, 120, 5640, 615, 855);
    CmdTiqDesc->raise();
    CmdTiqAsc->raise();

    TxtInfoTique = make<QPlainTextEdit>(this, "TxtInfoTique");
    TxtInfoTique->setReadOnly(true);
    TxtInfoTique->setFont(uiFont(8, false));
    TxtInfoTique->setFocusPolicy(Qt::NoFocus);
    place(TxtInfoTique, 0, 7080, 5415, 615);

    CmdPeriodo = button(this, "CmdPeriodo", QStringLiteral("Choix de la période"));
    place(CmdPeriodo, 0, 7680, 2295, 615);
    for (QLineEdit **mask : {&MaskDesde, &MaskHasta}) {
        *mask = textBox(this, mask == &MaskDesde ? "MaskDesde" : "MaskHasta");
        (*mask)->setInputMask(QStringLiteral("99/99/9999;_"));
        (*mask)->setFont(uiFont(12));
        (*mask)->setAlignment(Qt::AlignCenter);
    }
    place(MaskDesde, 2280, 7680, 1455, 615);
    place(MaskHasta, 3960, 7680, 1455, 615);
}

void FrmExterno::buildMiddleColumn()
{
    Label4 = label(this, "Label4", QStringLiteral("AFFICHAGE DES TICKETS"), 20);
    Label4->setAlignment(Qt::AlignCenter);
    place(Label4, 5520, 120, 7215, 855);
    Label3 = label(this, "Label3", QStringLiteral("   Client sélectionné"), 9);
    place(Label3, 7560, 960, 2415, 255);

    struct Box { QLineEdit **box; const char *name; const char *label; const char *caption; };
    const Box boxes[] = {
        {&TxtCodCli, "TxtCodCli", "LblCodCli", "Code:"},
        {&TxtNifCli, "TxtNifCli", "LblNifCli", "Identifiant Fiscal:"},
        {&TxtNomCli, "TxtNomCli", "LblNomCli", "Nom:"},
        {&TxtDirCli, "TxtDirCli", "LblDirCli", "Adresse:"},
        {&TxtPobCli, "TxtPobCli", "LblPobCli", "Ville:"},
        {&TxtPosCli, "TxtPosCli", "LblPosCli", "Code postal:"},
        {&TxtProCli, "TxtProCli", "LblProCli", "Province:"},
        {&TxtTelCli, "TxtTelCli", "LblTelCli", "Téléphone:"},
        {&TxtEmaCli, "TxtEmaCli", "LblEmaCli", "E-mail:"},
    };
    int top = 1320;
    for (const Box &b : boxes) {
        *b.box = textBox(this, b.name, true);
        (*b.box)->setFont(uiFont(8, false));
        (*b.box)->setFocusPolicy(Qt::NoFocus);
        place(*b.box, 7080, top, 4095, 285);
        QLabel *l = label(this, b.label, QString::fromUtf8(b.caption), 8);
        l->setFont(uiFont(8, false));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        place(l, 5400, top, 1620, 285);
        top += 240;
    }

    ListView1 = make<QTreeWidget>(this, "ListView1");
    ListView1->setRootIsDecorated(false);
    ListView1->setAllColumnsShowFocus(true);   // full-row selection
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setAlternatingRowColors(true);
    ListView1->setUniformRowHeights(true);
    ListView1->setFont(uiFont(8, false));
    ListView1->setFocusPolicy(Qt::NoFocus);
    place(ListView1, 5760, 3720, 9135, 2535);
    AddListColumns();
}

void FrmExterno::AddListColumns()
{
    struct Column { const char *header; double mm; bool right; };
    static const Column columns[] = {
        {"Id", 8, false}, {"N°Ticket", 16, false}, {"Cod.Art.", 18, false},
        {"Descriptif", 40, false}, {"Quantité", 18, false}, {"Prix", 18, false},
        {"Remise", 18, false}, {"Montant", 18, true}, {"IdExterno", 18, false},
    };
    ListView1->clear();
    ListView1->setColumnCount(9);
    auto *header = new QTreeWidgetItem;
    for (int i = 0; i < 9; ++i) {
        header->setText(i, QString::fromUtf8(columns[i].header));
        header->setTextAlignment(i, (columns[i].right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    ListView1->setHeaderItem(header);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->setMinimumSectionSize(0);
    for (int i = 0; i < 9; ++i)
        ListView1->setColumnWidth(i, geometry::mm(columns[i].mm));
    ListView1->setColumnWidth(8, 0);
    ListView1->setColumnHidden(8, true);
}

void FrmExterno::buildRightColumn()
{
    CmdFacturas = button(this, "CmdFacturas", QStringLiteral("AFFICHAGE FACTURES/BLs"));
    CmdFacturas->setIcon(QIcon(QStringLiteral(":/assets/icon6.png")));
    CmdFacturas->setIconSize(QSize(32, 32));
    place(CmdFacturas, 12600, 120, 2655, 855);
    CmdFacturaImprime = button(this, "CmdFacturaImprime", QStringLiteral("Générer Facture"), 10);
    place(CmdFacturaImprime, 11520, 1320, 1935, 975);
    CmdFin = button(this, "CmdFin", QStringLiteral("QUITTER"), 11);
    place(CmdFin, 13800, 1560, 1455, 735);
    CmdAlbaranImprime = button(this, "CmdAlbaranImprime", QStringLiteral("Générer Bon de livraison"), 10);
    place(CmdAlbaranImprime, 11520, 2520, 1935, 975);
    CmdAnularAlb = button(this, "CmdAnularAlb", QStringLiteral("Annuler Bon de livraison"), 9);
    place(CmdAnularAlb, 13560, 2520, 1695, 975);
    CmdAnularAlb->setEnabled(false);
    CmdAvoir = button(this, "CmdAvoir", QStringLiteral("Émettre un avoir"), 10);
    place(CmdAvoir, 11520, 8520, 1935, 975);
    CmdAvoir->setVisible(false);

    struct Total { QLabel **label; const char *labelName; const char *caption; QLineEdit **box; const char *boxName;
                   int top; int labelWidth; };
    const Total totals[] = {
        {&LblTotBruto, "LblTotBruto", "Total HT:", &TxtTotalBruto, "TxtTotalBruto", 6360, 1575},
        {&LblImpuestos, "LblImpuestos", "TVA:", &TxtTotalImpuestos, "TxtTotalImpuestos", 6840, 1575},
        {&LblTotal, "LblTotal", "Total:", &TxtTotal, "TxtTotal", 7320, 1695},
    };
    for (const Total &t : totals) {
        *t.label = label(this, t.labelName, QString::fromUtf8(t.caption), 10);
        (*t.label)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // Right-aligned up to the box, which starts at 13200.
        place(*t.label, 11640, t.top, qMin(t.labelWidth, 13200 - 11640 - 60), 375);
        *t.box = textBox(this, t.boxName, true);
        (*t.box)->setText(QStringLiteral("0"));
        (*t.box)->setAlignment(Qt::AlignRight);
        (*t.box)->setFont(uiFont(11));
        (*t.box)->setFocusPolicy(Qt::NoFocus);
        place(*t.box, 13200, t.top, 1455, 375);
    }

    Label5 = label(this, "Label5", QStringLiteral("Lot:"), 10);
    place(Label5, 9840, 7920, 735, 375);
    TxtLote = textBox(this, "TxtLote");
    place(TxtLote, 10560, 7920, 4095, 375);
}

void FrmExterno::buildTaxRows()
{
    LblBase = label(this, "LblBase", QStringLiteral("Base HT"), 8);
    place(LblBase, 5880, 6360, 975, 255);
    LblPorCiento = label(this, "LblPorCiento", QStringLiteral("%"), 8);
    place(LblPorCiento, 7320, 6360, 255, 255);
    LblIva = label(this, "LblIva", QStringLiteral("TVA"), 8);
    place(LblIva, 8040, 6360, 975, 255);

    for (int k = 0; k < 5; ++k) {
        const int top = 6720 + 360 * k;
        TxtBase[k] = textBox(this, "TxtBase", true);
        TxtBase[k]->setObjectName(QStringLiteral("TxtBase_%1").arg(k));
        place(TxtBase[k], 5880, top, 1095, 285);
        txtPorcentaje[k] = textBox(this, "txtPorcentaje", true);
        txtPorcentaje[k]->setObjectName(QStringLiteral("txtPorcentaje_%1").arg(k));
        place(txtPorcentaje[k], 7200, top, 495, 285);
        TxtIva[k] = textBox(this, "TxtIva", true);
        TxtIva[k]->setObjectName(QStringLiteral("TxtIva_%1").arg(k));
        place(TxtIva[k], 7920, top, 1095, 285);
        LblDesIva[k] = label(this, "LblDesIva", QString(), 8);
        LblDesIva[k]->setObjectName(QStringLiteral("LblDesIva_%1").arg(k));
        place(LblDesIva[k], 9120, top, 1500, 285);
        for (QWidget *w : {static_cast<QWidget *>(TxtBase[k]), static_cast<QWidget *>(txtPorcentaje[k]),
                           static_cast<QWidget *>(TxtIva[k]), static_cast<QWidget *>(LblDesIva[k])}) {
            w->setFont(uiFont(8, false));
            w->setFocusPolicy(Qt::NoFocus);
            w->hide();
        }
    }

    auto line = [this](const char *name, QFrame::Shape shape) {
        auto *f = make<QFrame>(this, name);
        f->setFrameShape(shape);
        f->setFrameShadow(QFrame::Plain);
        f->setLineWidth(1);
        return f;
    };
    // Line1 underlines the headings; Line2 and Line3 frame the rows on
    // either side and end at the last row shown.
    Line1 = line("Line1", QFrame::HLine);
    place(Line1, 5820, 6630, 3270, 30);
    Line2 = line("Line2", QFrame::VLine);
    Line3 = line("Line3", QFrame::VLine);
    setTaxFrameBottom(line1Bottom());
}

int FrmExterno::line1Bottom() const
{
    return Line1->geometry().bottom() + 1;
}

void FrmExterno::setTaxFrameBottom(int bottom)
{
    const int top = tw(6360);
    Line2->setGeometry(tw(5820), top, 2, qMax(1, bottom - top));
    Line3->setGeometry(tw(9060), top, 2, qMax(1, bottom - top));
}

void FrmExterno::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(236, 240, 244));
    if (!m_background.isNull())
        p.drawPixmap(0, 0, m_background);
}

void FrmExterno::changeEvent(QEvent *event)
{
    // Activation puts the typing into the customer search.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && TxtCliente)
        TxtCliente->setFocus();
    QWidget::changeEvent(event);
}

} // namespace zd
