// zd_facturx: the archived documents from the command line.
//   zd_facturx check FILE [--xsd FOLDER] [--xml OUT]
//       checks an archived PDF: its PDF/A-3 parts, the embedded factur-x.xml
//       against the schema, and the invoice's sums. Exit 0 when all pass.
//   zd_facturx archive ID [--folder PROGRAM_FOLDER] [--shop N]
//       writes the missing archive of a stored document (nothing is
//       replaced). Exit 0 when the archive is there afterwards.
#include "common/ProgramFolders.h"
#include "externo/archive/FacturXCheck.h"
#include "externo/documents/ArchiveStoredDocument.h"
#include "externo/startup/ConfigFiles.h"
#include "externo/startup/ShopSettingsFile.h"
#include "externo/state/AppState.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <cstdio>

using namespace zd;

namespace {

int check(const QString &file, const QString &xsdFolder, const QString &xmlOut)
{
    const archive::ArchiveCheck result = archive::CheckArchiveFile(file, xsdFolder);
    for (const QString &line : result.passed)
        std::printf("ok    %s\n", qPrintable(line));
    for (const QString &line : result.failed)
        std::printf("FAIL  %s\n", qPrintable(line));
    if (!xmlOut.isEmpty() && !result.xml.isEmpty()) {
        QFile out(xmlOut);
        if (!out.open(QIODevice::WriteOnly) || out.write(result.xml) != result.xml.size())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(xmlOut));
    }
    std::printf("%s: %s\n", qPrintable(file), result.ok() ? "passed" : "FAILED");
    return result.ok() ? 0 : 1;
}

int archiveDocument(const QString &id, const QString &folder, int shop)
{
    AppState state(sql::EngineConfig::fromProgramFolder(QDir(folder).absolutePath()));
    state.PosServer = readPosServer(state.programFolder(), QStringLiteral("127.0.0.1"));
    state.PosCatalog = shopCatalog(QStringLiteral("Tillvane"), shop);
    QStringList problems;
    state.Settings = ReadShopSettings(state.programFolder(), &problems);
    for (const QString &problem : problems)
        std::fprintf(stderr, "%s\n", qPrintable(problem));
    const archive::ArchiveResult result = documents::ArchiveStoredDocument(state, id.trimmed());
    switch (result.status) {
    case archive::ArchiveResult::Status::Written:
        std::printf("written %s%s\n", qPrintable(result.path),
                    result.facturX ? " (with its invoice data)"
                                   : qPrintable(result.noDataReason.isEmpty()
                                                    ? QString()
                                                    : QStringLiteral(" (without invoice data: %1)").arg(result.noDataReason)));
        return 0;
    case archive::ArchiveResult::Status::AlreadyThere:
        std::printf("already archived: %s\n", qPrintable(result.path));
        return 0;
    case archive::ArchiveResult::Status::Failed:
        break;
    }
    std::fprintf(stderr, "not archived: %s\n", qPrintable(result.error));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Archived documents: check a file, archive a stored document."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("check FILE | archive ID"));
    // The same program folder as zedorev's (installed: /var/lib/zedorev,
    // schemas in the read-only data); --folder still chooses another.
    const auto folders = zd::common::ProgramFolders::locate(QCoreApplication::applicationDirPath(),
                                                            qEnvironmentVariable(zd::common::kFolderVariable));
    const QString programFolder = folders.folder;
    QCommandLineOption xsd(QStringLiteral("xsd"), QStringLiteral("folder of the Factur-X schemas"), QStringLiteral("folder"),
                           folders.shared + QStringLiteral("/facturx-xsd"));
    QCommandLineOption xml(QStringLiteral("xml"), QStringLiteral("also write the embedded XML to this file"),
                           QStringLiteral("file"));
    QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("program folder (data, archive)"),
                              QStringLiteral("folder"), programFolder);
    QCommandLineOption shop(QStringLiteral("shop"), QStringLiteral("shop number (office.txt)"), QStringLiteral("n"),
                            QStringLiteral("0"));
    parser.addOptions({xsd, xml, folder, shop});
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() == 2 && args.at(0) == QLatin1String("check"))
        return check(args.at(1), parser.value(xsd), parser.value(xml));
    if (args.size() == 2 && args.at(0) == QLatin1String("archive"))
        return archiveDocument(args.at(1), parser.value(folder), parser.value(shop).toInt());
    std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
    return 2;
}
