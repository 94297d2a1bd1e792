// The ".kxr" association on a freedesktop desktop (GNOME, KDE, Xfce, ...):
//  - a shared-mime-info package giving "*.kxr" our MIME type, its comment
//    and icon, followed by update-mime-database on that "mime" folder;
//  - the program's icon in the hicolor theme;
//  - a desktop entry whose Exec is the running program, taking the file;
//  - our MIME type's lines in "[Default Applications]" and
//    "[Added Associations]" of mimeapps.list, edited line by line.
// Machine-wide (the first folders of $XDG_DATA_DIRS and $XDG_CONFIG_DIRS)
// when the first write succeeds there, else the user's own ($XDG_DATA_HOME,
// $XDG_CONFIG_HOME). Files are written only into folders that no other user
// can change, never through a link (shell/owned_folder.h); a program file
// that another user could replace gets no machine-wide association; and
// update-mime-database is run from the system's own folder, never through
// PATH. Files that already hold what would be written are left
// alone, so a start with an unchanged association costs a few small reads.
// update-mime-database, which syncs every file it writes and takes seconds
// on a big folder, runs on a thread of its own, one run after the other.
// Every failure is ignored: the game shows nothing for it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QThreadPool>

#include "shell/file_association.h"

namespace trisk {

// The MIME type of saved games and the name shared by the desktop entry, the
// MIME package, the icon and the AppStream metadata.
inline constexpr char kKxrMimeType[] = "application/x-solitaire-trisk";
inline constexpr char kAppId[] = "io.github.solitaire_trisk.SolitaireTrisk";

// A data folder (MIME package, icon, desktop entry) with its configuration
// folder (mimeapps.list).
struct TXdgPlace {
    QString DataDir;
    QString ConfigDir;
};

// From the environment as it is now, with the defaults of the XDG base
// directory standard; relative paths are ignored as it asks.
TXdgPlace MachineXdgPlace();
TXdgPlace UserXdgPlace();

// The Exec value that starts programPath with one file: the path quoted
// where the desktop-entry standard asks for quotes, then "%f".
QString DesktopExecValue(const QString& programPath);

// Our desktop entry for programPath: the installed one with its Exec line
// naming programPath.
QByteArray DesktopEntryFor(const QString& programPath);

class TXdgFileAssociation : public TFileAssociation {
  public:
    TXdgFileAssociation();
    // Waits for the MIME database refreshes still running.
    ~TXdgFileAssociation() override;

    void SetUp(const QString& programPath) override;
    // Deletes our package, icon, entry and mimeapps.list lines wherever they
    // can be deleted, machine-wide and the user's, and refreshes the MIME
    // database where a package went.
    void Remove() override;

    // Blocks until every MIME database refresh asked for so far has ended.
    void WaitForRefresh();

  private:
    void RefreshMimeDatabase(const QString& mimeDir);

    QThreadPool refresher_;
};

}  // namespace trisk
