#include "ArchiveSweep.h"

#include "ArchiveFile.h"
#include "externo/posdata/PosValues.h"
#include "externo/sql/Connection.h"

#include <QFileInfo>

namespace zd::archive {

std::optional<QStringList> DocumentsWithoutArchive(sql::Connection &store, const QString &programFolder)
{
    QStringList missing;
    const bool read = store.queryRows(
        QStringLiteral("select IdDocumento, FechaDocumento from dbo.facturas order by FechaDocumento"),
        [&](const sql::RowView &row) {
            const QString id = row.text(0).trimmed();
            const auto date = posdata::DateOf(row.value(1));
            if (date && !QFileInfo::exists(ArchivePath(programFolder, date->year(), id)))
                missing << id;
        });
    if (!read)
        return std::nullopt;
    return missing;
}

} // namespace zd::archive
