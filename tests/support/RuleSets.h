#pragma once
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace zd::test {

// The official rule sets an e-invoicing platform applies to a CII invoice,
// vendored under third_party/ as XSLT 2.0 and run with Saxon-HE (Java).
enum class RuleSet { En16931, FrenchCtc };

// What one rule set said of one document (its SVRL report).
struct RuleReport {
    QStringList fatal;       // "id: text" of every fatal failed assert
    QStringList warnings;    // the same for warnings
    QStringList failedIds;   // ids of every failed assert, whatever its flag
    int rootRulesFired = 0;  // rules that fired on the CrossIndustryInvoice element
    QString error;           // the rule set could not be run or its report read
    bool passed() const { return error.isEmpty() && rootRulesFired > 0 && fatal.isEmpty(); }
    QString describe() const;
};

// Runs a rule set on each document (name -> XML) in one Java run.
// Names become file names: letters, digits, '-' and '_' only.
QMap<QString, RuleReport> RunRuleSet(RuleSet set, const QMap<QString, QByteArray> &documents);

// Runs both rule sets; a name's reports, En16931 first.
struct BothReports {
    RuleReport en16931;
    RuleReport french;
};
QMap<QString, BothReports> RunBothRuleSets(const QMap<QString, QByteArray> &documents);

} // namespace zd::test
