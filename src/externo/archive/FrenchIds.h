#pragma once
#include <QString>

namespace zd::archive {

// What a company's tax id says of its French registration. The id may be a
// French VAT number (FR + two-digit key + SIREN), a SIRET (SIREN + five
// digits), a SIREN, or a VAT number followed by a SIRET ("FR.. / SIRET");
// blanks, dots and dashes are ignored, letters may be lower case.
struct FrenchRegistration {
    QString siren;       // 9 digits, check digit verified; empty when none
    QString siret;       // 14 digits beginning with siren; empty when none given
    QString vatNumber;   // "FRkk" + siren, key verified, when the id holds one
    bool foreign = false;  // a VAT number of another country: no SIREN expected
    QString problem;     // French, for the operator: why no SIREN could be read
    bool hasSiren() const { return !siren.isEmpty(); }
};

FrenchRegistration ReadFrenchRegistration(const QString &taxId);

// The Luhn check that SIREN and SIRET numbers carry in their last digit.
bool LuhnValid(const QString &digits);
// The two-digit key of the French VAT number of a SIREN.
QString FrenchVatKey(const QString &siren);

} // namespace zd::archive
