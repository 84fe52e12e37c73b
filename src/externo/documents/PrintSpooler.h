#pragma once
#include <QString>

namespace zd::documents {

// The system's print spooler (CUPS), reached through its command-line
// clients: lp submits a file, lpstat tells whether a job is still
// waiting or printing, cancel abandons it.
class PrintSpooler {
public:
    // The default destination, or an empty string when none is set.
    static QString defaultQueue();

    // Submits a PDF file; the spooler keeps its own copy, so the file may
    // be removed afterwards. Returns the job id ("queue-12") or an empty
    // string, with the reason in *error.
    static QString submit(const QString &queue, const QString &pdfPath, const QString &title,
                          QString *error = nullptr);

    // True while the job is queued, held or printing (or when the spooler
    // cannot be asked).
    static bool isPending(const QString &queue, const QString &jobId);

    static bool cancel(const QString &jobId);
};

} // namespace zd::documents
