#pragma once
#include <QLoggingCategory>

// Every statement sent to a database is logged under zdSql at debug level,
// exactly as the program built it (before any engine translation), one
// message per statement. Warnings of failed statements use the same
// category. The values bound to an INSERT go to zdSqlValues, so that the
// statement texts stay comparable.
// Enable with QT_LOGGING_RULES="zedorev.sql.debug=true".
Q_DECLARE_LOGGING_CATEGORY(zdSql)
Q_DECLARE_LOGGING_CATEGORY(zdSqlValues)
// Transaction boundaries ("BEGIN TRANSACTION", "COMMIT", "ROLLBACK") at
// debug level, kept apart so that statement lists stay comparable.
Q_DECLARE_LOGGING_CATEGORY(zdSqlTransactions)
