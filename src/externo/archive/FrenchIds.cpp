#include "FrenchIds.h"

#include <QRegularExpression>
#include <QStringList>

namespace zd::archive {

namespace {

// One company's post office network registers every SIRET under one SIREN;
// its establishments are checked by the sum of their digits instead.
constexpr char kPostOfficeSiren[] = "356000000";

bool allDigits(const QString &s)
{
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}

QString compact(const QString &text)
{
    QString out;
    for (const QChar c : text)
        if (!c.isSpace() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            out += c.toUpper();
    return out;
}

bool sirenValid(const QString &siren)
{
    return siren.size() == 9 && allDigits(siren) && LuhnValid(siren);
}

bool siretValid(const QString &siret)
{
    if (siret.size() != 14 || !allDigits(siret))
        return false;
    if (siret.startsWith(QLatin1String(kPostOfficeSiren))) {
        int sum = 0;
        for (const QChar c : siret)
            sum += c.digitValue();
        return sum % 5 == 0;
    }
    return LuhnValid(siret);
}

// Reads one id into reg; false with reg.problem set when it is not usable.
bool readOne(const QString &id, FrenchRegistration &reg)
{
    if (id.size() >= 2 && id.at(0).isLetter() && id.at(1).isLetter()) {
        if (!id.startsWith(QLatin1String("FR"))) {
            reg.foreign = true;
            return true;
        }
        const QString key = id.mid(2, 2);
        const QString siren = id.mid(4);
        if (id.size() != 13 || !allDigits(siren)) {
            reg.problem = QStringLiteral("le numéro de TVA %1 n'a pas la forme FR + clé + SIREN").arg(id);
            return false;
        }
        if (!allDigits(key)) {
            reg.problem = QStringLiteral("le numéro de TVA %1 ne contient pas de SIREN").arg(id);
            return false;
        }
        if (!sirenValid(siren)) {
            reg.problem = QStringLiteral("le SIREN %1 du numéro de TVA %2 est faux (chiffre de contrôle)").arg(siren, id);
            return false;
        }
        if (key != FrenchVatKey(siren)) {
            reg.problem = QStringLiteral("la clé %1 du numéro de TVA %2 est fausse (attendue : %3)")
                              .arg(key, id, FrenchVatKey(siren));
            return false;
        }
        reg.siren = siren;
        reg.vatNumber = id;
        return true;
    }
    if (allDigits(id) && id.size() == 9) {
        if (!sirenValid(id)) {
            reg.problem = QStringLiteral("le SIREN %1 est faux (chiffre de contrôle)").arg(id);
            return false;
        }
        reg.siren = id;
        return true;
    }
    if (allDigits(id) && id.size() == 14) {
        if (!sirenValid(id.left(9))) {
            reg.problem = QStringLiteral("le SIREN %1 du SIRET %2 est faux (chiffre de contrôle)").arg(id.left(9), id);
            return false;
        }
        if (!siretValid(id)) {
            reg.problem = QStringLiteral("le SIRET %1 est faux (chiffre de contrôle)").arg(id);
            return false;
        }
        reg.siren = id.left(9);
        reg.siret = id;
        return true;
    }
    reg.problem = QStringLiteral("%1 n'est ni un SIREN, ni un SIRET, ni un numéro de TVA").arg(id);
    return false;
}

} // namespace

bool LuhnValid(const QString &digits)
{
    if (!allDigits(digits))
        return false;
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i) {
        int d = digits.at(digits.size() - 1 - i).digitValue();
        if (i % 2 == 1) {
            d *= 2;
            if (d > 9)
                d -= 9;
        }
        sum += d;
    }
    return sum % 10 == 0;
}

QString FrenchVatKey(const QString &siren)
{
    const qint64 key = (12 + 3 * (siren.toLongLong() % 97)) % 97;
    return QStringLiteral("%1").arg(key, 2, 10, QLatin1Char('0'));
}

FrenchRegistration ReadFrenchRegistration(const QString &taxId)
{
    FrenchRegistration reg;
    static const QRegularExpression separators(QStringLiteral("[/;,]"));
    QStringList parts;
    for (const QString &part : taxId.split(separators, Qt::SkipEmptyParts)) {
        const QString id = compact(part);
        if (!id.isEmpty())
            parts << id;
    }
    if (parts.isEmpty()) {
        reg.problem = QStringLiteral("aucun identifiant (SIREN, SIRET ou numéro de TVA)");
        return reg;
    }
    if (parts.size() > 2) {
        reg.problem = QStringLiteral("plus de deux identifiants");
        return reg;
    }
    FrenchRegistration first;
    if (!readOne(parts.at(0), first))
        return first;
    if (parts.size() == 1)
        return first;
    // A VAT number and a SIRET: the SIRET must be one of that SIREN's.
    FrenchRegistration second;
    if (!readOne(parts.at(1), second))
        return second;
    const FrenchRegistration &vat = first.vatNumber.isEmpty() ? second : first;
    const FrenchRegistration &site = first.siret.isEmpty() ? second : first;
    if (vat.vatNumber.isEmpty() || site.siret.isEmpty()) {
        reg.problem = QStringLiteral("deux identifiants : seuls un numéro de TVA et un SIRET vont ensemble");
        return reg;
    }
    if (site.siren != vat.siren) {
        reg.problem = QStringLiteral("le SIRET %1 n'est pas celui du SIREN %2").arg(site.siret, vat.siren);
        return reg;
    }
    reg.siren = vat.siren;
    reg.vatNumber = vat.vatNumber;
    reg.siret = site.siret;
    return reg;
}

} // namespace zd::archive
