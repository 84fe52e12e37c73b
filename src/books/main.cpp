// zd_books: the books of the invoice store from the command line.
//   zd_books reconcile [--folder PROGRAM_FOLDER] [--shop N]
//       lists every ticket marked since the store's first document that no
//       document holds (another invoice store's, or a lost sale), every
//       stored document whose tickets are open, and every ticket in two
//       documents.
//   zd_books verify [--folder PROGRAM_FOLDER]
//       recomputes the chain of the books and compares every stored
//       document, line, copy and archive with its record, and the chain with
//       its marker; names what differs.
//   zd_books totals --from DATE --to DATE [--folder PROGRAM_FOLDER]
//       invoices, credit notes, their difference and the VAT rates' totals
//       of the period, and the perpetual total.
//   zd_books export YEAR DIR [--folder PROGRAM_FOLDER]
//       the year's documents, lines and records as CSV, its archives and a
//       manifest of their SHA-256; the export is recorded in the books.
// Exit 0 when nothing is found, 1 with findings, 3 when a database does not
// answer or a file cannot be written, 2 on a usage error.
#include "BooksCommands.h"

#include "common/ProgramFolders.h"
#include "externo/startup/ConfigFiles.h"
#include "externo/state/AppState.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using namespace zd;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The invoice store's books: reconcile tickets with documents, verify the chain of the books, "
                       "total a period, export a year."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("reconcile | verify | totals | export YEAR DIR"));
    const auto folders = common::ProgramFolders::locate(QCoreApplication::applicationDirPath(),
                                                        qEnvironmentVariable(common::kFolderVariable));
    QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("program folder (data, archive)"),
                              QStringLiteral("folder"), folders.folder);
    QCommandLineOption shop(QStringLiteral("shop"), QStringLiteral("shop number (office.txt)"), QStringLiteral("n"),
                            QStringLiteral("0"));
    QCommandLineOption from(QStringLiteral("from"), QStringLiteral("first day of the period (YYYY-MM-DD)"),
                            QStringLiteral("date"));
    QCommandLineOption to(QStringLiteral("to"), QStringLiteral("last day of the period (YYYY-MM-DD)"),
                          QStringLiteral("date"));
    parser.addOptions({folder, shop, from, to});
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    const QDate first = QDate::fromString(parser.value(from), Qt::ISODate);
    const QDate last = QDate::fromString(parser.value(to), Qt::ISODate);
    bool yearOk = false;
    const int year = args.value(1).toInt(&yearOk);
    const bool known = (args.size() == 1 && (command == QLatin1String("reconcile") || command == QLatin1String("verify")))
                    || (args.size() == 1 && command == QLatin1String("totals") && first.isValid() && last.isValid()
                        && first <= last)
                    || (args.size() == 3 && command == QLatin1String("export") && yearOk && year > 1900);
    if (!known) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 2;
    }
    AppState state(sql::EngineConfig::fromProgramFolder(QDir(parser.value(folder)).absolutePath()));
    state.PosServer = readPosServer(state.programFolder(), QStringLiteral("127.0.0.1"));
    state.PosCatalog = shopCatalog(QStringLiteral("Tillvane"), parser.value(shop).toInt());
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (command == QLatin1String("verify"))
        return books::Verify(state, out, err);
    if (command == QLatin1String("totals"))
        return books::Totals(state, first, last, out, err);
    if (command == QLatin1String("export"))
        return books::Export(state, year, QDir(args.at(2)).absolutePath(), out, err);
    return books::Reconcile(state, out, err);
}
