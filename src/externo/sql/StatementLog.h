#pragma once
#include <QLoggingCategory>

// Every statement sent to a database is logged under this category, exactly
// as the program built it (before any engine translation).
Q_DECLARE_LOGGING_CATEGORY(zdSql)
