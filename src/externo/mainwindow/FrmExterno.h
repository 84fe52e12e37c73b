#pragma once
#include "externo/posdata/TotalsView.h"
#include "externo/state/AppState.h"

#include <QWidget>
#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

namespace zd {

// The working window: customers, their open tickets or issued documents,
// the lines of what is chosen, totals and the document buttons. Controls
// keep the system's names (also as objectName) and design positions.
class FrmExterno : public QWidget, public posdata::TotalsView {
    Q_OBJECT
public:
    explicit FrmExterno(AppState &state, QWidget *parent = nullptr);
    ~FrmExterno() override;

    // The load handler: connection, catalogues, tax rates, preselection.
    // `loadingWindow` is closed when the load is done (or on the offline path).
    void Load(QWidget *loadingWindow = nullptr);

    AppState &state() { return m_state; }

    // Controls
    std::array<QTreeWidget *, 3> TreeClient{};   // 0 customers, 1 tickets, 2 documents
    QTreeWidget *ListView1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr;
    QLineEdit *TxtCliente = nullptr;
    QLineEdit *TxtTique = nullptr;
    QLabel *LblFacAlb = nullptr;
    QLineEdit *TxtFacAlb = nullptr;
    QPlainTextEdit *TxtInfoTique = nullptr;
    QLineEdit *TxtCodCli = nullptr, *TxtNomCli = nullptr, *TxtNifCli = nullptr, *TxtDirCli = nullptr,
              *TxtPobCli = nullptr, *TxtPosCli = nullptr, *TxtProCli = nullptr, *TxtTelCli = nullptr,
              *TxtEmaCli = nullptr;
    QLineEdit *MaskDesde = nullptr, *MaskHasta = nullptr;
    QPushButton *CmdPeriodo = nullptr, *CmdTiqAsc = nullptr, *CmdTiqDesc = nullptr, *CmdBorraSel = nullptr;
    QPushButton *CmdFacturas = nullptr, *CmdFacturaImprime = nullptr, *CmdAlbaranImprime = nullptr,
                *CmdAnularAlb = nullptr, *CmdFin = nullptr;
    QLabel *LblTotBruto = nullptr, *LblImpuestos = nullptr, *LblTotal = nullptr;
    QLineEdit *TxtTotalBruto = nullptr, *TxtTotalImpuestos = nullptr, *TxtTotal = nullptr;
    QLabel *LblBase = nullptr, *LblPorCiento = nullptr, *LblIva = nullptr;
    std::array<QLineEdit *, 5> TxtBase{}, txtPorcentaje{}, TxtIva{};
    std::array<QLabel *, 5> LblDesIva{};
    QFrame *Line1 = nullptr, *Line2 = nullptr, *Line3 = nullptr;
    QLineEdit *TxtLote = nullptr;

    // The nine columns of ListView1, as at load.
    void AddListColumns();
    // Moves the lower ends of Line2 and Line3 to `bottom` (pixels).
    void setTaxFrameBottom(int bottom);
    int line1Bottom() const;

    // posdata::TotalsView: the routines of the totals show through these.
    void setTotalTexts(const QString &bruto, const QString &impuestos, const QString &total) override;
    void setTaxRow(int k, bool visible, const QString &base, const QString &pct, const QString &iva,
                   const QString &description) override;
    void setTaxFrameBottomToRow(int k) override;

signals:
    // Emitted once the load handler has finished successfully.
    void loaded();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void buildLeftColumn();
    void buildMiddleColumn();
    void buildRightColumn();
    void buildTaxRows();
    void fillCustomerTree(const QStringList &nodeTexts);
    // Tax rates read, per-rate totals and the display cleared.
    void clearTotalsOnLoad();
    // Ends the program after a fatal condition of the load: message, keyboard, exit.
    void stopProgram(const QString &message, QWidget *loadingWindow);

    AppState &m_state;
    QPixmap m_background;
};

} // namespace zd
