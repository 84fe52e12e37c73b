#include "PrintSpooler.h"

#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>

namespace zd::documents {

namespace {

// Runs a spooler client and returns its standard output; ok is false when it
// could not run or failed.
QString run(const QString &program, const QStringList &args, bool *ok, QString *errorText = nullptr)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    // Untranslated messages: the output is parsed.
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(env);
    process.start();
    const bool finished = process.waitForStarted(5000) && process.waitForFinished(10000);
    if (!finished)
        process.kill();
    *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (errorText) {
        *errorText = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        if (errorText->isEmpty() && !*ok)
            *errorText = process.errorString();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

QString PrintSpooler::defaultQueue()
{
    const QString name = QPrinterInfo::defaultPrinterName();
    if (!name.isEmpty())
        return name;
    bool ok = false;
    const QString out = run(QStringLiteral("lpstat"), {QStringLiteral("-d")}, &ok);
    static const QRegularExpression re(QStringLiteral("system default destination: (\\S+)"));
    const auto m = re.match(out);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString PrintSpooler::submit(const QString &queue, const QString &pdfPath, const QString &title,
                             QString *error)
{
    if (queue.isEmpty()) {
        if (error)
            *error = QStringLiteral("Aucune imprimante par défaut.");
        return QString();
    }
    QStringList args{QStringLiteral("-d"), queue};
    if (!title.isEmpty())
        args << QStringLiteral("-t") << title;
    args << QStringLiteral("--") << pdfPath;
    bool ok = false;
    QString stderrText;
    const QString out = run(QStringLiteral("lp"), args, &ok, &stderrText);
    static const QRegularExpression re(QStringLiteral("request id is (\\S+)"));
    const auto m = re.match(out);
    if (!ok || !m.hasMatch()) {
        if (error)
            *error = QStringLiteral("Impression refusée par %1: %2").arg(queue, stderrText);
        return QString();
    }
    return m.captured(1);
}

bool PrintSpooler::isPending(const QString &queue, const QString &jobId)
{
    bool ok = false;
    const QString out = run(QStringLiteral("lpstat"),
                            {QStringLiteral("-W"), QStringLiteral("not-completed"), QStringLiteral("-o"), queue},
                            &ok);
    // A spooler that does not answer cannot confirm the job ended: keep
    // watching (the time-out still ends it).
    if (!ok)
        return true;
    const auto lines = out.split(QLatin1Char('\n'));
    for (const auto &line : lines)
        if (line.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty) == jobId)
            return true;
    return false;
}

bool PrintSpooler::cancel(const QString &jobId)
{
    bool ok = false;
    run(QStringLiteral("cancel"), {jobId}, &ok);
    return ok;
}

} // namespace zd::documents
