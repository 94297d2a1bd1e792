// One help viewer per help file and user. A viewer that starts first asks a
// viewer already showing the same file to come forward at the file's start
// page (over a local socket whose name is derived from the user and the
// file's path) and, when one answers, leaves it at that; otherwise it listens
// under that name itself. The socket lives in a folder only the user can
// enter, so that nobody else can take the name first.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace trisk {

// The folder for the sockets: $XDG_RUNTIME_DIR when it is the user's own
// folder with no access for anybody else; otherwise "trisk-help-" and the
// user id in the temporary folder, made private to the user (mode 0700).
// Empty when neither can be had (the folder in the temporary folder is a link,
// or somebody else's): then there is no single viewer, only viewers.
QString HelpSocketFolder();

// The socket's path in HelpSocketFolder(): "trisk-help-" and 20 hexadecimal
// digits from the user and the file's path. Empty when there is no folder.
QString HelpServerName(const QString& helpFile);

// Asks the viewer listening under `serverName` to raise and activate its
// window; true when it answered within the time.
bool AskRunningViewer(const QString& serverName, int timeoutMs = 3000);

class HelpInstanceServer : public QObject {
    Q_OBJECT
  public:
    explicit HelpInstanceServer(QObject* parent = nullptr);
    // Listens under the name; false when another viewer already does (or
    // the name cannot be taken). A name left behind by a viewer that died is
    // taken over.
    bool Listen(const QString& serverName);

  signals:
    void ActivationRequested();

  private:
    void Serve();
    QLocalServer server_;
};

}  // namespace trisk
