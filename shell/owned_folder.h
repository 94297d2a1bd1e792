// Writing into the desktop's folders when another user may share them. Run
// as root, the game writes into machine-wide folders ($XDG_DATA_DIRS,
// $XDG_CONFIG_DIRS); were one of them, or a folder on the way to it, another
// user's, that user could plant a link where the game writes and have root
// overwrite any file. So a folder is written into only when every folder from
// "/" down to it belongs to the running user or to root and no one else may
// change it, and it is reached one step at a time without following a link.
// Files are read and replaced inside it without following a link either.
#pragma once

#include <QByteArray>
#include <QString>

namespace trisk {

// Whether no user but the running one and root can change what path is: the
// path (made canonical) and every folder above it belong to one of them, and
// none is writable by a group or by others (a folder with the sticky bit, such
// as /tmp, may be: no one can rename or replace what others own in it). A
// path that does not exist yet counts as far as it exists.
bool OnlyOwnerCanChange(const QString& path);

class TOwnedFolder {
  public:
    // The folder at path, made (mode 0755) where missing when create is set;
    // not valid when it cannot be made, or when it or a folder above it fails
    // the test of OnlyOwnerCanChange.
    TOwnedFolder(const QString& path, bool create);
    ~TOwnedFolder();
    TOwnedFolder(const TOwnedFolder&) = delete;
    TOwnedFolder& operator=(const TOwnedFolder&) = delete;

    bool Valid() const { return fd_ >= 0; }

    // A regular file's bytes (up to a megabyte); exists is false for
    // anything else, a link included.
    QByteArray Read(const QString& name, bool* exists) const;
    bool IsLink(const QString& name) const;
    // Replaces name whole with a new file of mode 0644: written under a
    // fresh name first, then renamed over it (a link there is replaced, never
    // followed).
    bool Replace(const QString& name, const QByteArray& bytes) const;
    // Removes name (a link itself, never what it points at); false when
    // there was nothing to remove or it cannot be removed.
    bool Remove(const QString& name) const;

  private:
    int fd_ = -1;
};

}  // namespace trisk
