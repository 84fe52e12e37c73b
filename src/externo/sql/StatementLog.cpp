#include "StatementLog.h"

// Debug level is off unless enabled (QT_LOGGING_RULES or filter rules), so
// a normal run does not print every statement.
Q_LOGGING_CATEGORY(zdSql, "zedorev.sql", QtWarningMsg)
Q_LOGGING_CATEGORY(zdSqlValues, "zedorev.sql.values", QtWarningMsg)
Q_LOGGING_CATEGORY(zdSqlTransactions, "zedorev.sql.transactions", QtWarningMsg)
