#pragma once
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

// Reads from a point-of-sale file without going through the program's engine.
QVector<QVariantList> queryFile(const QString &file, const QString &sql);
QVariant scalarFromFile(const QString &file, const QString &sql);
// A digest of every row of every point-of-sale table, in key order.
QByteArray contentHash(const QString &file);
