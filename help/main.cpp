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
#include <QFile>

#include <cstdio>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>
#endif

#include "help/help_window.h"
#include "help/quit_on_signal.h"
#include "help/single_instance.h"

namespace {

// "Help.chm" beside the program: its folder from /proc/self/exe as bytes
// (held open and named through /proc where the name is not valid in the
// locale's encoding), never the current folder. The game's own lookup is
// table/program_folder.cpp, which this program, standing on its own, cannot
// link.
QString HelpFileBesideTheProgram() {
#ifdef Q_OS_LINUX
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || size_t(length) >= sizeof buffer || buffer[0] != '/') return {};
    const QByteArray file(buffer, length);
    const QByteArray folder = file.left(std::max<qsizetype>(file.lastIndexOf('/'), 1));
    QString name = QFile::decodeName(folder);
    if (QFile::encodeName(name) != folder) {
        const int fd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return {};
        name = QStringLiteral("/proc/self/fd/%1").arg(fd);
    }
    return name + QStringLiteral("/Help.chm");
#else
    const QString folder = QApplication::applicationDirPath();
    return QDir::isAbsolutePath(folder) ? QDir(folder).filePath("Help.chm") : QString();
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const trisk::QuitOnSignal quitOnSignal;
    const QStringList arguments = QApplication::arguments();
    const QString path = arguments.size() > 1 ? arguments.at(1) : HelpFileBesideTheProgram();

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
