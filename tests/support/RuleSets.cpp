#include "RuleSets.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace zd::test {

namespace {

const QString kSaxonJar = QStringLiteral("/usr/share/java/Saxon-HE.jar");

QString stylesheet(RuleSet set)
{
    return set == RuleSet::En16931
             ? QStringLiteral(ZD_SOURCE_DIR "/third_party/en16931-cii/EN16931-CII-validation.xslt")
             : QStringLiteral(ZD_SOURCE_DIR "/third_party/fr-ctc-cii/BR-FR-Flux2-Schematron-CII.xslt");
}

RuleReport readReport(const QByteArray &svrl)
{
    RuleReport report;
    QXmlStreamReader r(svrl);
    const QString svrlNs = QStringLiteral("http://purl.oclc.org/dsdl/svrl");
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement() || r.namespaceUri() != svrlNs)
            continue;
        if (r.name() == QLatin1String("fired-rule")) {
            QString context = r.attributes().value(QStringLiteral("context")).toString();
            while (context.startsWith(QLatin1Char('/')))
                context.remove(0, 1);
            if (context == QLatin1String("rsm:CrossIndustryInvoice"))
                ++report.rootRulesFired;
        } else if (r.name() == QLatin1String("failed-assert")) {
            const QString id = r.attributes().value(QStringLiteral("id")).toString();
            const QString flag = r.attributes().value(QStringLiteral("flag")).toString();
            QString text;
            while (!(r.isEndElement() && r.name() == QLatin1String("failed-assert")) && !r.atEnd()) {
                r.readNext();
                if (r.isCharacters())
                    text += r.text();
            }
            const QString line = id + QStringLiteral(": ") + text.simplified();
            report.failedIds << id;
            if (flag == QLatin1String("warning") || flag == QLatin1String("information"))
                report.warnings << line;
            else
                report.fatal << line;
        }
    }
    if (r.hasError())
        report.error = QStringLiteral("SVRL: ") + r.errorString();
    return report;
}

} // namespace

QString RuleReport::describe() const
{
    QStringList lines;
    if (!error.isEmpty())
        lines << error;
    lines << QStringLiteral("%1 rules fired on the invoice").arg(rootRulesFired);
    for (const QString &f : fatal)
        lines << QStringLiteral("fatal   ") + f;
    for (const QString &w : warnings)
        lines << QStringLiteral("warning ") + w;
    return lines.join(QLatin1Char('\n'));
}

QMap<QString, RuleReport> RunRuleSet(RuleSet set, const QMap<QString, QByteArray> &documents)
{
    QMap<QString, RuleReport> reports;
    auto failAll = [&](const QString &why) {
        for (auto it = documents.cbegin(); it != documents.cend(); ++it)
            reports[it.key()].error = why;
        return reports;
    };
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir(dir.path()).mkdir(QStringLiteral("in")) || !QDir(dir.path()).mkdir(QStringLiteral("out")))
        return failAll(QStringLiteral("no temporary folder"));
    for (auto it = documents.cbegin(); it != documents.cend(); ++it) {
        QFile f(dir.filePath(QStringLiteral("in/") + it.key() + QStringLiteral(".xml")));
        if (!f.open(QIODevice::WriteOnly) || f.write(it.value()) != it.value().size())
            return failAll(QStringLiteral("cannot write ") + f.fileName());
    }
    if (!QFile::exists(kSaxonJar))
        return failAll(kSaxonJar + QStringLiteral(" missing (scripts/install-deps installs libsaxonhe-java)"));
    QProcess java;
    java.setProcessChannelMode(QProcess::MergedChannels);
    java.start(QStringLiteral("java"), {QStringLiteral("-cp"), kSaxonJar, QStringLiteral("net.sf.saxon.Transform"),
                                        QStringLiteral("-s:") + dir.filePath(QStringLiteral("in")),
                                        QStringLiteral("-xsl:") + stylesheet(set),
                                        QStringLiteral("-o:") + dir.filePath(QStringLiteral("out"))});
    if (!java.waitForFinished(240000) || java.exitStatus() != QProcess::NormalExit || java.exitCode() != 0)
        return failAll(QStringLiteral("Saxon failed: ") + QString::fromUtf8(java.readAll()).left(2000));
    for (auto it = documents.cbegin(); it != documents.cend(); ++it) {
        QFile f(dir.filePath(QStringLiteral("out/") + it.key() + QStringLiteral(".xml")));
        if (!f.open(QIODevice::ReadOnly)) {
            reports[it.key()].error = QStringLiteral("no report for ") + it.key();
            continue;
        }
        reports[it.key()] = readReport(f.readAll());
    }
    return reports;
}

QMap<QString, BothReports> RunBothRuleSets(const QMap<QString, QByteArray> &documents)
{
    const QMap<QString, RuleReport> en = RunRuleSet(RuleSet::En16931, documents);
    const QMap<QString, RuleReport> fr = RunRuleSet(RuleSet::FrenchCtc, documents);
    QMap<QString, BothReports> both;
    for (auto it = documents.cbegin(); it != documents.cend(); ++it)
        both[it.key()] = {en.value(it.key()), fr.value(it.key())};
    return both;
}

} // namespace zd::test
