// trisk-help: the help viewer of Solitaire Trisk, a process of its own.
//
//   trisk-help [HELP.chm]
//
// Shows the help file (by default "Help.chm" beside the program) at its
// default topic. When a viewer of the same user already shows that file, it
// is asked to come forward at the default topic and this one ends at once.
// A missing or damaged file is reported in the viewer's window (and on
// standard error).
#include <QApplication>
#include <QDir>

#include <cstdio>

#include "help/help_window.h"
#include "help/quit_on_signal.h"
#include "help/single_instance.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const trisk::QuitOnSignal quitOnSignal;
    const QStringList arguments = QApplication::arguments();
    const QString path = arguments.size() > 1
                             ? arguments.at(1)
                             : QDir(QApplication::applicationDirPath()).filePath("Help.chm");

    // Without a private folder for the socket every viewer runs on its own.
    const QString name = trisk::HelpServerName(path);
    if (trisk::AskRunningViewer(name)) return 0;
    trisk::HelpInstanceServer server;
    if (!server.Listen(name) && trisk::AskRunningViewer(name)) return 0;

    // Asked again (F1 in the game), the viewer goes back to the start page.
    trisk::HelpWindow window;
    QObject::connect(&server, &trisk::HelpInstanceServer::ActivationRequested, &window, [&window] {
        window.ShowHome();
        window.BringToFront();
    });
    if (!window.OpenFile(path)) {
        std::fprintf(stderr, "trisk-help: %s\n",
                     qPrintable(window.ErrorMessage().replace(u'\n', u' ')));
    }
    window.show();
    return QApplication::exec();
}
