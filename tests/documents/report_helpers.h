#pragma once
#include "externo/documents/DataReport1.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <QVector>

// A word read back from a PDF page, its box in twips from the paper's corner.
struct PdfWord {
    QString text;
    QRectF box;
};

// An invoice as the issue workflow fills it, with `lines` detail lines.
zd::documents::DataReport1 *makeSampleReport(int lines);
zd::LineRecordSet sampleLines(int lines);

// Words of one page (1-based) of a PDF, read with pdftotext -bbox.
QVector<PdfWord> pdfWords(const QString &pdfPath, int page);
// One page (1-based) of a PDF as an image, through pdftoppm.
QImage pdfPageImage(const QString &pdfPath, int page, int dpi);
// Dark pixels of an image inside a twip rectangle of the page.
int darkPixels(const QImage &image, const QRect &twips, double dpi);
// Number of pages as pdfinfo reads it (-1 when pdfinfo fails).
int pdfPageCount(const QString &pdfPath);
// The box of the first run of consecutive words equal to the words of
// `text`, lying inside `within` if given (an empty rect when absent).
QRectF findText(const QVector<PdfWord> &words, const QString &text, const QRectF &within = QRectF());
// True when `text` is printed inside `rect` (twips, a little slack allowed).
bool textInside(const QVector<PdfWord> &words, const QString &text, const QRect &rect);

// CUPS for print tests: makes sure cupsd runs and a cups-pdf queue with the
// given name exists (enabled or stopped). Returns an empty string when
// ready, else the reason it could not be set up.
QString ensureCupsQueue(const QString &queue, bool enabled);
// Runs a command and returns its standard output.
QString runTool(const QString &program, const QStringList &args, int *exitCode = nullptr);
