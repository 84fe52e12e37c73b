#pragma once
#include <QColor>
#include <QRect>
#include <QString>
#include <QVector>

namespace zd::documents {

// What a control of the printed document is.
enum class ControlKind {
    Label,      // fixed or filled caption
    Shape,      // rounded rectangle frame
    Rule,       // straight line (zero width: vertical, zero height: horizontal)
    Picture,    // the shop logo
    TextField,  // detail field bound to a column of the line record set
};

// One control of a section. Positions are twips relative to the section.
struct ReportControl {
    QString name;
    ControlKind kind = ControlKind::Label;
    QRect rect;                      // left, top, width, height in twips
    Qt::Alignment align = Qt::AlignLeft;
    QColor color = Qt::black;
    QString text;                    // caption ("%p"/"%P" are page fields)
    double fontPt = 8;
    bool bold = false;
    bool visible = true;
    int field = -1;                  // text fields: column of the record set
    QString boundColumn;             // text fields: the column's name
};

struct ReportSection {
    QString name;
    int height = 0;
    QVector<ReportControl> controls;

    ReportControl *find(const QString &controlName);
    const ReportControl *find(const QString &controlName) const;
};

// The document's banded layout: report header, page header, detail,
// page footer and report footer, as designed for the invoice and the
// delivery note.
// Height of the legal mentions' box at the foot of an invoice's last page.
inline constexpr int kMentionsHeight = 1380;

struct ReportLayout {
    enum Band { ReportHeader, PageHeader, Detail, PageFooter, ReportFooter, BandCount };

    int width = 11340;
    ReportSection sections[BandCount];

    // Controls are found by name whatever the letter case ("lblempresa0").
    ReportControl *find(const QString &controlName);
    const ReportControl *find(const QString &controlName) const;

    // The designed layout of DataReport1.
    static ReportLayout dataReport1();
};

} // namespace zd::documents
