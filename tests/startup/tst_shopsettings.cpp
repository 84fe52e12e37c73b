// The shop's invoicing settings file: defaults when missing, each key read,
// each bad line named to the operator by file and line, keeping its default.
#include "externo/startup/ShopSettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zd;

namespace {

// The settings as one comparable text: a changed field shows in the diff.
QString describe(const ShopSettings &s)
{
    return QStringList{"PMT=" + s.RecoveryNote, "PMD=" + s.PenaltyNote, "AAB=" + s.DiscountNote,
                       QString("paid=%1").arg(s.PaidAtTill), "address=" + s.ElectronicAddress,
                       QString("debits=%1").arg(s.VatOnDebits)}
        .join('\n');
}

} // namespace

class TstShopSettings : public QObject {
    Q_OBJECT
private slots:
    void defaultsAreLawfulMentions()
    {
        const ShopSettings s;
        QVERIFY(s.RecoveryNote.contains("40 €"));
        QVERIFY(s.PenaltyNote.contains("pénalités"));
        QVERIFY(s.DiscountNote.contains("escompte"));
        QVERIFY(!s.PaidAtTill && !s.VatOnDebits && s.ElectronicAddress.isEmpty());
    }

    void fileIsRead_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("changes");   // fields of describe() that differ from the defaults
        QTest::addColumn<QStringList>("problems");
        const QString dflt = ". La valeur par défaut est utilisée.";
        QTest::newRow("missing") << false << QByteArray() << QStringList() << QStringList();
        QTest::newRow("empty") << true << QByteArray() << QStringList() << QStringList();
        QTest::newRow("every key, UTF-8 with BOM, CRLF, comments")
            << true
            << QByteArray("\xEF\xBB\xBF# réglages\r\nindemnite_recouvrement = Indemnité de 40 € due.\r\n"
                          "penalites_retard=Pénalités : 3 fois le taux légal.\r\nescompte=Escompte 1 % à 8 jours.\r\n"
                          "\r\nPAYE_EN_CAISSE=oui\r\nadresse_electronique=512384975_FACT\r\ntva_sur_debits=1\r\n")
            << QStringList{"PMT=Indemnité de 40 € due.", "PMD=Pénalités : 3 fois le taux légal.",
                           "AAB=Escompte 1 % à 8 jours.", "paid=1", "address=512384975_FACT", "debits=1"}
            << QStringList();
        QTest::newRow("e-mail address, no") << true
                                            << QByteArray("adresse_electronique=factures@aubertin.fr\npaye_en_caisse=Non\n")
                                            << QStringList{"address=factures@aubertin.fr"} << QStringList();
        QTest::newRow("unknown key") << true << QByteArray("paye_en_caisse=oui\ncouleur=bleu\n")
                                     << QStringList{"paid=1"}
                                     << QStringList{"Fichier facturation.txt, ligne 2 : clé inconnue « couleur »" + dflt};
        QTest::newRow("bad boolean") << true << QByteArray("\n\ntva_sur_debits=peut-être\n") << QStringList()
                                     << QStringList{"Fichier facturation.txt, ligne 3 : tva_sur_debits : « peut-être » "
                                                    "n'est ni oui ni non" + dflt};
        QTest::newRow("a long bad value, quoted short") << true << "paye_en_caisse=" + QByteArray(60, 'x') + "\n"
                                                        << QStringList()
                                                        << QStringList{"Fichier facturation.txt, ligne 1 : paye_en_caisse : « "
                                                                       + QString(39, 'x') + "… » n'est ni oui ni non" + dflt};
        QTest::newRow("overlong text") << true << "escompte=" + QByteArray(501, 'x') + "\nescompte=Sans escompte.\n"
                                       << QStringList{"AAB=Sans escompte."}
                                       << QStringList{"Fichier facturation.txt, ligne 1 : escompte : le texte dépasse "
                                                      "500 caractères (501)" + dflt};
        QTest::newRow("empty text, no '='") << true << QByteArray("escompte=\nbonjour\n") << QStringList()
                                            << QStringList{"Fichier facturation.txt, ligne 1 : escompte : le texte est vide" + dflt,
                                                           "Fichier facturation.txt, ligne 2 : « bonjour » n'est pas de la "
                                                           "forme clé=valeur" + dflt};
        QTest::newRow("address with a space, overlong address")
            << true << "adresse_electronique=512 384 975\nadresse_electronique=" + QByteArray(126, 'a') + "\n"
            << QStringList()
            << QStringList{"Fichier facturation.txt, ligne 1 : adresse_electronique : « 512 384 975 » n'est pas une "
                           "adresse (e-mail, ou lettres, chiffres et + - _ . sans espace)" + dflt,
                           "Fichier facturation.txt, ligne 2 : adresse_electronique : l'adresse dépasse 125 caractères "
                           "(126)" + dflt};
    }
    void fileIsRead()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, changes);
        QFETCH(QStringList, problems);
        QTemporaryDir dir;
        if (exists) {
            QFile f(dir.filePath("facturation.txt"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(content), content.size());
        }
        QStringList got;
        const ShopSettings s = ReadShopSettings(dir.path(), &got);
        QCOMPARE(got, problems);
        const QStringList defaults = describe(ShopSettings()).split('\n');
        QStringList changed;
        for (const QString &field : describe(s).split('\n'))
            if (!defaults.contains(field))
                changed << field;
        QCOMPARE(changed, changes);
    }
};

QTEST_MAIN(TstShopSettings)
#include "tst_shopsettings.moc"
