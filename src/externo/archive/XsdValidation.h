#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zd::archive {

// The schema of the embedded XML inside a folder of schemas.
inline constexpr char kFacturXSchema[] = "Factur-X_1.07.3_EN16931.xsd";

// Validates an XML document against an XSD file (its imports are resolved
// beside it) with libxml2. true when valid; otherwise *errors lists what
// the validator said, one line each.
bool ValidateAgainstXsd(const QByteArray &xml, const QString &xsdFile, QStringList *errors);

} // namespace zd::archive
