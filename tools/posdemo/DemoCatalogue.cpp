#include "DemoCatalogue.h"
#include "DemoRandom.h"

#include <QStringList>

namespace zd::posdemo::DemoCatalogue {

const QVector<DemoArticle> &articles()
{
    // A butcher's and delicatessen counter with a fine-grocery shelf.
    static const QVector<DemoArticle> list = {
        // Boucherie, by the kilogram
        {1001, "Entrecôte de bœuf", true, 3490, 2, 200, 650, 5},
        {1002, "Faux-filet", true, 3250, 2, 200, 600, 4},
        {1003, "Bavette d'aloyau", true, 2790, 2, 150, 500, 4},
        {1004, "Steak haché frais", true, 1590, 2, 200, 800, 6},
        {1005, "Rôti de bœuf", true, 2990, 2, 600, 1500, 3},
        {1006, "Bœuf bourguignon à braiser", true, 1650, 2, 500, 1500, 3},
        {1007, "Pot-au-feu", true, 1390, 2, 800, 2000, 2},
        {1008, "Côte de veau", true, 3190, 2, 250, 700, 2},
        {1009, "Blanquette de veau", true, 1990, 2, 500, 1200, 3},
        {1010, "Escalope de veau", true, 3690, 2, 150, 500, 3},
        {1011, "Gigot d'agneau", true, 2690, 2, 1200, 2500, 2},
        {1012, "Côtelettes d'agneau", true, 2950, 2, 300, 800, 3},
        {1013, "Rôti de porc", true, 1390, 2, 600, 1500, 3},
        {1014, "Côtes de porc", true, 1150, 2, 300, 1000, 4},
        {1015, "Poitrine de porc fraîche", true, 1090, 2, 300, 900, 2},
        {1016, "Filet mignon de porc", true, 2290, 2, 400, 900, 3},
        {1017, "Poulet fermier Label Rouge", true, 1190, 2, 1300, 2200, 4},
        {1018, "Cuisses de poulet", true, 890, 2, 500, 1200, 4},
        {1019, "Suprêmes de volaille", true, 1990, 2, 300, 800, 4},
        {1020, "Magret de canard", true, 2790, 2, 300, 700, 3},
        {1021, "Lapin entier", true, 1450, 2, 1200, 1800, 1},
        {1022, "Pintade fermière", true, 1490, 2, 1100, 1600, 1},
        // Charcuterie, by the kilogram
        {2001, "Jambon blanc à l'os", true, 2490, 2, 100, 500, 6},
        {2002, "Jambon sec de montagne", true, 3290, 2, 80, 300, 4},
        {2003, "Saucisson sec pur porc", true, 2690, 2, 150, 400, 4},
        {2004, "Pâté de campagne", true, 1790, 2, 150, 500, 5},
        {2005, "Terrine de canard au poivre vert", true, 2450, 2, 150, 400, 3},
        {2006, "Rillettes de porc", true, 1990, 2, 150, 400, 4},
        {2007, "Andouillette 5A", true, 1890, 2, 150, 400, 2},
        {2008, "Boudin noir aux oignons", true, 1490, 2, 150, 500, 3},
        {2009, "Chipolatas", true, 1350, 2, 300, 1000, 4},
        {2010, "Saucisses de Toulouse", true, 1390, 2, 300, 1000, 4},
        {2011, "Merguez", true, 1450, 2, 300, 1000, 3},
        {2012, "Chorizo doux", true, 2290, 2, 100, 300, 2},
        {2013, "Lardons fumés", true, 1490, 2, 150, 400, 4},
        {2014, "Fromage de tête", true, 1690, 2, 150, 400, 1},
        {2015, "Museau vinaigrette", true, 1590, 2, 150, 400, 1},
        {2016, "Foie gras de canard mi-cuit", true, 10900, 2, 100, 300, 1},
        // Traiteur
        {3001, "Poulet rôti", false, 1150, 3, 1, 2, 4},
        {3002, "Quiche lorraine (part)", false, 420, 3, 1, 4, 3},
        {3003, "Sandwich jambon-beurre", false, 450, 3, 1, 3, 4},
        {3004, "Hachis parmentier", true, 1890, 3, 250, 800, 2},
        {3005, "Lasagnes maison", true, 1950, 3, 250, 800, 2},
        {3006, "Salade piémontaise", true, 1490, 2, 150, 500, 3},
        {3007, "Céleri rémoulade", true, 1290, 2, 150, 500, 3},
        {3008, "Carottes râpées", true, 990, 2, 150, 500, 2},
        {3009, "Taboulé oriental", true, 1250, 2, 150, 500, 2},
        {3010, "Feuilleté saucisse", false, 320, 3, 1, 4, 2},
        {3011, "Pâté en croûte", true, 2990, 2, 100, 400, 2},
        {3012, "Paëlla (part)", false, 980, 3, 1, 4, 1},
        // Fromagerie
        {4001, "Comté 18 mois", true, 2990, 2, 150, 600, 4},
        {4002, "Camembert de Normandie", false, 490, 2, 1, 2, 3},
        {4003, "Brie de Meaux", true, 2490, 2, 150, 500, 3},
        {4004, "Roquefort", true, 3250, 2, 100, 300, 2},
        {4005, "Tomme de Savoie", true, 2190, 2, 150, 500, 2},
        {4006, "Crottin de chèvre", false, 260, 2, 1, 4, 2},
        {4007, "Beaufort d'alpage", true, 3490, 2, 150, 500, 1},
        {4008, "Reblochon fermier", false, 890, 2, 1, 2, 1},
        // Épicerie fine
        {5001, "Moutarde à l'ancienne 210 g", false, 295, 2, 1, 2, 2},
        {5002, "Huile d'olive vierge extra 75 cl", false, 1290, 2, 1, 2, 1},
        {5003, "Vinaigre de Xérès 50 cl", false, 540, 2, 1, 1, 1},
        {5004, "Sel de Guérande 250 g", false, 380, 2, 1, 2, 1},
        {5005, "Lentilles vertes 500 g", false, 420, 2, 1, 2, 1},
        {5006, "Cornichons extra-fins", false, 650, 2, 1, 2, 2},
        {5007, "Confiture d'abricots 370 g", false, 590, 2, 1, 2, 1},
        {5008, "Miel de lavande 250 g", false, 890, 2, 1, 1, 1},
        {5009, "Pâtes artisanales 500 g", false, 390, 2, 1, 3, 2},
        {5010, "Riz de Camargue 1 kg", false, 460, 2, 1, 2, 1},
        {5011, "Sardines à l'huile 115 g", false, 490, 2, 1, 4, 1},
        {5012, "Terrine de campagne 180 g", false, 620, 2, 1, 3, 1},
        {5013, "Cassoulet au confit 840 g", false, 1250, 2, 1, 2, 1},
        {5014, "Chocolat noir 70 % 100 g", false, 390, 2, 1, 3, 1},
        {5015, "Bonbons à la violette 150 g", false, 690, 4, 1, 2, 1},
        {5016, "Caramels au beurre salé 200 g", false, 750, 4, 1, 2, 1},
        {5017, "Calissons 200 g", false, 1490, 4, 1, 1, 1},
        {5018, "Baguette tradition", false, 130, 2, 1, 3, 5},
        {5019, "Pain de campagne", false, 360, 2, 1, 2, 2},
        {5020, "Œufs fermiers x6", false, 340, 2, 1, 2, 3},
        {5021, "Beurre demi-sel 250 g", false, 370, 2, 1, 2, 2},
        {5022, "Crème fraîche épaisse 20 cl", false, 290, 2, 1, 2, 2},
        {5023, "Jus de pomme artisanal 1 l", false, 450, 2, 1, 3, 2},
        {5024, "Eau minérale gazeuse 1 l", false, 120, 2, 1, 6, 2},
        {5025, "Limonade artisanale 75 cl", false, 320, 2, 1, 4, 1},
        // Cave
        {6001, "Côtes-du-Rhône rouge 75 cl", false, 890, 4, 1, 6, 2},
        {6002, "Muscadet sur lie 75 cl", false, 750, 4, 1, 6, 2},
        {6003, "Bordeaux supérieur 75 cl", false, 1190, 4, 1, 6, 1},
        {6004, "Champagne brut 75 cl", false, 3200, 4, 1, 3, 1},
        {6005, "Cidre brut fermier 75 cl", false, 480, 4, 1, 4, 1},
        {6006, "Bière blonde artisanale 33 cl", false, 320, 4, 1, 6, 2},
        {6007, "Crémant de Loire 75 cl", false, 1350, 4, 1, 3, 1},
        {6008, "Calvados 70 cl", false, 3400, 4, 1, 1, 1},
        // Presse et divers
        {7001, "Quotidien régional", false, 140, 1, 1, 1, 2},
        {7002, "Hebdomadaire gastronomique", false, 490, 1, 1, 1, 1},
        {7003, "Sac isotherme", false, 250, 4, 1, 1, 1},
        {7004, "Charbon de bois 3 kg", false, 890, 4, 1, 2, 1},
    };
    return list;
}

const QVector<DemoTaxType> &taxTypes()
{
    static const QVector<DemoTaxType> list = {
        {1, 21, "TVA 2,1%"},
        {2, 55, "TVA 5,5%"},
        {3, 100, "TVA 10%"},
        {4, 200, "TVA 20%"},
    };
    return list;
}

namespace {

struct Town {
    const char *name;
    const char *postcode;
    const char *department;
    const char *phonePrefix;
};

const Town kTowns[] = {
    {"Angers", "49000", "Maine-et-Loire", "02 41"},
    {"Angers", "49100", "Maine-et-Loire", "02 41"},
    {"Avrillé", "49240", "Maine-et-Loire", "02 41"},
    {"Trélazé", "49800", "Maine-et-Loire", "02 41"},
    {"Les Ponts-de-Cé", "49130", "Maine-et-Loire", "02 41"},
    {"Saint-Barthélemy-d'Anjou", "49124", "Maine-et-Loire", "02 41"},
    {"Beaucouzé", "49070", "Maine-et-Loire", "02 41"},
    {"Bouchemaine", "49080", "Maine-et-Loire", "02 41"},
    {"Saumur", "49400", "Maine-et-Loire", "02 41"},
    {"Cholet", "49300", "Maine-et-Loire", "02 41"},
    {"Mûrs-Erigné", "49610", "Maine-et-Loire", "02 41"},
    {"Le Mans", "72000", "Sarthe", "02 43"},
    {"Château-Gontier", "53200", "Mayenne", "02 43"},
    {"Nantes", "44000", "Loire-Atlantique", "02 40"},
};

const char *const kStreets[] = {
    "rue Saint-Aubin", "boulevard Foch", "place du Ralliement", "rue des Lices", "avenue Pasteur",
    "rue Lenepveu", "quai Ligny", "rue de la Roë", "rue Bressigny", "avenue Montaigne",
    "chemin des Vignes", "route de Nantes", "rue du Mail", "rue Plantagenêt", "rue des Tanneurs",
    "allée des Tilleuls", "rue Saint-Laud", "boulevard de la Liberté", "impasse du Moulin",
    "rue de la Gare", "place de l'Église", "rue Victor-Hugo", "avenue Jean-Jaurès",
};

const char *const kSurnames[] = {
    "MARTIN", "BERNARD", "THOMAS", "PETIT", "ROBERT", "RICHARD", "DURAND", "DUBOIS", "MOREAU",
    "LAURENT", "SIMON", "MICHEL", "LEFÈVRE", "LEROY", "ROUX", "DAVID", "BERTRAND", "MOREL",
    "FOURNIER", "GIRARD", "BONNET", "DUPONT", "LAMBERT", "FONTAINE", "ROUSSEAU", "VINCENT",
    "MULLER", "GUÉRIN", "BOYER", "GARNIER", "CHEVALIER", "FRANÇOIS", "LEGRAND", "GAUTHIER",
    "PERRIN", "ROBIN", "CLÉMENT", "MORIN", "NICOLAS", "HENRY", "ROUSSEL", "MATHIEU", "GAUTIER",
    "MASSON", "MARCHAND", "DUVAL", "DENIS", "LEMAIRE", "NOËL", "MEYER", "BRUNET", "BLANC",
};

const char *const kFirstNames[] = {
    "Jean", "Marie", "Pierre", "Nathalie", "Michel", "Isabelle", "Philippe", "Sylvie", "Alain",
    "Catherine", "Nicolas", "Françoise", "Christophe", "Sandrine", "Stéphane", "Véronique",
    "Hélène", "Jérôme", "Céline", "Frédéric", "Amélie", "Benoît", "Élodie", "Loïc", "Gaëlle",
};

const char *const kBusinessKinds[] = {
    "RESTAURANT", "BRASSERIE", "TRAITEUR", "CAFÉ", "AUBERGE", "BISTROT", "CRÊPERIE",
    "HÔTEL-RESTAURANT", "CANTINE SCOLAIRE", "COMITÉ DES FÊTES", "ASSOCIATION", "EHPAD",
};

const char *const kBusinessNames[] = {
    "LE PETIT ZINC", "LA TABLE DU MARCHÉ", "LES HALLES", "LE RELAIS D'ANJOU", "LA BONNE FOURCHETTE",
    "LE CLOS DES VIGNES", "L'ESCALE", "LE CHEVAL BLANC", "LES TROIS ROIS", "LA MARMITE",
    "LE GRAND CERF", "SAINT-NICOLAS", "DU CHÂTEAU", "DE LA LOIRE", "LE P'TIT BOUCHON",
    "LA PLANCHA", "DES TILLEULS", "LE PANORAMA", "LES GOURMETS", "DU VIEUX PORT",
};

template <typename T, size_t N>
const T &pick(const T (&items)[N], DemoRandom &random)
{
    return items[random.between(0, qint64(N) - 1)];
}

QString digits(DemoRandom &random, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(u'0' + int(random.between(0, 9)));
    return text;
}

// Lower-case ASCII for e-mail addresses: accents dropped, blanks to dots.
QString mailPart(const QString &text)
{
    QString folded = text.normalized(QString::NormalizationForm_D).toLower();
    QString out;
    for (QChar c : folded) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            out += c;
        else if ((c == u' ' || c == u'-' || c == u'\'') && !out.endsWith(u'.') && !out.isEmpty())
            out += u'.';
    }
    while (out.endsWith(u'.'))
        out.chop(1);
    return out;
}

// The digits with their last one replaced by the Luhn check digit that
// SIREN and SIRET numbers end with (the random draws stay as they were).
QString withCheckDigit(const QString &number)
{
    QString digitsOnly;
    for (const QChar c : number)
        if (c.isDigit())
            digitsOnly += c;
    int sum = 0;
    for (int i = 1; i < digitsOnly.size(); ++i) {
        // Positions counted from the right, the check digit being position 0.
        int d = digitsOnly.at(digitsOnly.size() - 1 - i).digitValue();
        if (i % 2 == 1)
            d = d * 2 > 9 ? d * 2 - 9 : d * 2;
        sum += d;
    }
    QString out = number;
    out[out.size() - 1] = QChar(u'0' + (10 - sum % 10) % 10);
    return out;
}

// The key of a SIREN's French VAT number.
QString vatKey(const QString &siren)
{
    const qint64 key = (12 + 3 * (siren.toLongLong() % 97)) % 97;
    return QStringLiteral("%1").arg(key, 2, 10, QLatin1Char('0'));
}

} // namespace

DemoCustomer customer(qint32 idcliente, DemoRandom &random)
{
    DemoCustomer c;
    c.idcliente = idcliente;
    c.contact = idcliente;
    c.business = random.chance(0.55);
    const Town &town = pick(kTowns, random);
    if (c.business) {
        c.nombre = QString::fromUtf8(pick(kBusinessKinds, random)) + u' '
                   + QString::fromUtf8(pick(kBusinessNames, random));
        // SIRET: SIREN (9 digits) and establishment number (5 digits),
        // each ending with its check digit.
        const QString siren = withCheckDigit(digits(random, 3) + u' ' + digits(random, 3) + u' ' + digits(random, 3));
        c.nif = withCheckDigit(siren + u' ' + QStringLiteral("000") + digits(random, 2));
        c.email = QStringLiteral("contact@%1.fr").arg(mailPart(c.nombre).replace(u'.', u'-'));
    } else {
        const QString first = QString::fromUtf8(pick(kFirstNames, random));
        const QString last = QString::fromUtf8(pick(kSurnames, random));
        c.nombre = last + u' ' + first;
        // Private customers mostly have no fiscal id.
        if (random.chance(0.2)) {
            const QString drawnKey = digits(random, 2);
            Q_UNUSED(drawnKey);  // drawn to keep the demo's other draws as they were
            const QString siren = withCheckDigit(digits(random, 9));
            c.nif = QStringLiteral("FR ") + vatKey(siren) + u' ' + siren;
        } else {
            c.nif = QString();
        }
        c.email = random.chance(0.8)
                      ? QStringLiteral("%1.%2@courriel-anjou.fr").arg(mailPart(first), mailPart(last))
                      : QStringLiteral("");
    }
    c.direccion = QStringLiteral("%1 %2").arg(random.between(1, 120)).arg(QString::fromUtf8(pick(kStreets, random)));
    c.codigopostal = QString::fromLatin1(town.postcode);
    c.poblacion = QString::fromUtf8(town.name);
    c.provincia = QString::fromUtf8(town.department);
    const bool mobile = random.chance(0.35);
    c.telefono = (mobile ? QStringLiteral("06") : QString::fromLatin1(town.phonePrefix));
    for (int i = mobile ? 0 : 1; i < 4; ++i)
        c.telefono += u' ' + digits(random, 2);
    c.codigo = QString::number(idcliente);

    // Irregular customers every real file has: a zero-padded code, a name
    // with a trailing blank, and codes that differ from the internal id.
    if (idcliente == 12)
        c.codigo = QStringLiteral("00012");
    if (idcliente == 7) {
        c.nombre = QStringLiteral("BOULANGERIE AU PAIN D'ANTAN ");
        c.email = QStringLiteral("contact@pain-d-antan.fr");
        c.business = true;
    }
    if (idcliente == 25 || idcliente == 40) {
        c.contact = 800000 + idcliente;
        c.codigo = QString::number(c.contact);
    }
    return c;
}

} // namespace zd::posdemo::DemoCatalogue
