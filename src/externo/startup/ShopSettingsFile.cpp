#include "ShopSettingsFile.h"

#include <QFile>
#include <QRegularExpression>

namespace zd {

namespace {

// A value as the operator's message quotes it: short enough for the window.
QString quoted(const QString &value)
{
    constexpr int kLongest = 40;
    return QStringLiteral("« %1 »").arg(value.size() > kLongest ? value.left(kLongest - 1) + QChar(0x2026) : value);
}

std::optional<bool> yesNo(const QString &value)
{
    const QString v = value.toLower();
    if (v == QLatin1String("oui") || v == QLatin1String("1"))
        return true;
    if (v == QLatin1String("non") || v == QLatin1String("0"))
        return false;
    return std::nullopt;
}

// Why a text cannot be a note, or empty when it can.
QString noteProblem(const QString &value)
{
    if (value.isEmpty())
        return QStringLiteral("le texte est vide");
    if (value.size() > kMaxNoteLength)
        return QStringLiteral("le texte dépasse %1 caractères (%2)").arg(kMaxNoteLength).arg(value.size());
    return {};
}

// Why a text cannot be the shop's electronic address, or empty when it can:
// an e-mail address, or an address of letters, digits and + - _ . only.
QString addressProblem(const QString &value)
{
    static const QRegularExpression email(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9+\\-_.]+$"));
    if (value.size() > kMaxAddressLength)
        return QStringLiteral("l'adresse dépasse %1 caractères (%2)").arg(kMaxAddressLength).arg(value.size());
    if (value.contains(QLatin1Char('@')) ? !email.match(value).hasMatch() : !plain.match(value).hasMatch())
        return QStringLiteral("%1 n'est pas une adresse (e-mail, ou lettres, chiffres et + - _ . sans espace)")
            .arg(quoted(value));
    return {};
}

} // namespace

ShopSettings ReadShopSettings(const QString &programFolder, QStringList *problems)
{
    ShopSettings settings;
    QFile file(programFolder + QLatin1Char('/') + QLatin1String(kShopSettingsFile));
    if (!file.open(QIODevice::ReadOnly))
        return settings;
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        auto bad = [&](const QString &why) {
            if (problems)
                *problems << QStringLiteral("Fichier %1, ligne %2 : %3. La valeur par défaut est utilisée.")
                                 .arg(QLatin1String(kShopSettingsFile)).arg(i + 1).arg(why);
        };
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            bad(QStringLiteral("%1 n'est pas de la forme clé=valeur").arg(quoted(line)));
            continue;
        }
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        QString *note = key == QLatin1String("indemnite_recouvrement") ? &settings.RecoveryNote
                      : key == QLatin1String("penalites_retard")       ? &settings.PenaltyNote
                      : key == QLatin1String("escompte")               ? &settings.DiscountNote
                                                                       : nullptr;
        bool *flag = key == QLatin1String("paye_en_caisse")   ? &settings.PaidAtTill
                   : key == QLatin1String("tva_sur_debits")   ? &settings.VatOnDebits
                                                              : nullptr;
        if (note) {
            const QString why = noteProblem(value);
            if (why.isEmpty())
                *note = value;
            else
                bad(QStringLiteral("%1 : %2").arg(key, why));
        } else if (flag) {
            if (const auto yes = yesNo(value))
                *flag = *yes;
            else
                bad(QStringLiteral("%1 : %2 n'est ni oui ni non").arg(key, quoted(value)));
        } else if (key == QLatin1String("adresse_electronique")) {
            const QString why = addressProblem(value);
            if (why.isEmpty())
                settings.ElectronicAddress = value;
            else
                bad(QStringLiteral("%1 : %2").arg(key, why));
        } else {
            bad(QStringLiteral("clé inconnue %1").arg(quoted(key)));
        }
    }
    return settings;
}

} // namespace zd
