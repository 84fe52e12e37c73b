// zd_books: the books of the invoice store from the command line.
//   zd_books reconcile [--folder PROGRAM_FOLDER] [--shop N]
//       lists every ticket marked since the store's first document that no
//       document holds (another invoice store's, or a lost sale), every
//       stored document whose tickets are open, and every ticket in two
//       documents. Exit 0 when nothing is found, 1 with findings, 3 when a
//       database does not answer, 2 on a usage error.
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
    parser.setApplicationDescription(QStringLiteral("The invoice store's books: reconcile tickets with documents."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("reconcile"));
    const auto folders = common::ProgramFolders::locate(QCoreApplication::applicationDirPath(),
                                                        qEnvironmentVariable(common::kFolderVariable));
    QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("program folder (data, archive)"),
                              QStringLiteral("folder"), folders.folder);
    QCommandLineOption shop(QStringLiteral("shop"), QStringLiteral("shop number (office.txt)"), QStringLiteral("n"),
                            QStringLiteral("0"));
    parser.addOptions({folder, shop});
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args != QStringList{QStringLiteral("reconcile")}) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.helpText()));
        return 2;
    }
    AppState state(sql::EngineConfig::fromProgramFolder(QDir(parser.value(folder)).absolutePath()));
    state.PosServer = readPosServer(state.programFolder(), QStringLiteral("127.0.0.1"));
    state.PosCatalog = shopCatalog(QStringLiteral("Tillvane"), parser.value(shop).toInt());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return books::Reconcile(state, out, err);
}
