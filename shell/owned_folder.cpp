#include "shell/owned_folder.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

namespace trisk {

namespace {

constexpr qsizetype kMaxRead = 1 << 20;

bool TrustedOwner(const struct stat& info) {
    return info.st_uid == ::geteuid() || info.st_uid == 0;
}

// A folder or file that no one but its trusted owner can change.
bool OnlyOwnerWrites(const struct stat& info) {
    if (!TrustedOwner(info)) return false;
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) == 0) return true;
    return S_ISDIR(info.st_mode) && (info.st_mode & S_ISVTX) != 0;
}

// The path with the links of the part that exists resolved, as components.
// Nothing when the path is not absolute.
std::optional<QList<QByteArray>> CanonicalComponents(const QString& path) {
    if (!QDir::isAbsolutePath(path)) return std::nullopt;
    QList<QByteArray> parts = QFile::encodeName(QDir::cleanPath(path)).split('/');
    parts.removeAll(QByteArray());
    QList<QByteArray> missing;
    for (;;) {
        const QByteArray prefix = "/" + parts.join('/');
        char resolved[PATH_MAX];
        if (::realpath(prefix.constData(), resolved) != nullptr) {
            QList<QByteArray> result = QByteArray(resolved).split('/');
            result.removeAll(QByteArray());
            for (auto it = missing.rbegin(); it != missing.rend(); ++it)
                result.append(*it);
            return result;
        }
        if (errno != ENOENT || parts.isEmpty()) return std::nullopt;
        missing.append(parts.takeLast());
    }
}

}  // namespace

bool OnlyOwnerCanChange(const QString& path) {
    const auto parts = CanonicalComponents(path);
    if (!parts) return false;
    int fd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    bool ok = fd >= 0;
    struct stat info {};
    ok = ok && ::fstat(fd, &info) == 0 && OnlyOwnerWrites(info);
    for (const QByteArray& part : *parts) {
        if (!ok) break;
        const int next = ::openat(fd, part.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            // Nothing exists below here: no one else made it.
            ok = errno == ENOENT;
            break;
        }
        ::close(fd);
        fd = next;
        ok = ::fstat(fd, &info) == 0 && !S_ISLNK(info.st_mode) && OnlyOwnerWrites(info);
    }
    if (fd >= 0) ::close(fd);
    return ok;
}

TOwnedFolder::TOwnedFolder(const QString& path, bool create) {
    const auto parts = CanonicalComponents(path);
    if (!parts) return;
    int fd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0) return;
    if (::fstat(fd, &info) != 0 || !OnlyOwnerWrites(info)) {
        ::close(fd);
        return;
    }
    for (const QByteArray& part : *parts) {
        constexpr int kFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        int next = ::openat(fd, part.constData(), kFlags);
        if (next < 0 && errno == ENOENT && create &&
            (::mkdirat(fd, part.constData(), 0755) == 0 || errno == EEXIST))
            next = ::openat(fd, part.constData(), kFlags);
        ::close(fd);
        if (next < 0) return;
        fd = next;
        if (::fstat(fd, &info) != 0 || !OnlyOwnerWrites(info)) {
            ::close(fd);
            return;
        }
    }
    fd_ = fd;
}

TOwnedFolder::~TOwnedFolder() {
    if (fd_ >= 0) ::close(fd_);
}

QByteArray TOwnedFolder::Read(const QString& name, bool* exists) const {
    *exists = false;
    if (fd_ < 0) return {};
    const int fd = ::openat(fd_, QFile::encodeName(name).constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat info {};
    QByteArray bytes;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxRead) {
        bytes.resize(kMaxRead + 1);
        qsizetype got = 0;
        for (;;) {
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n > 0) got += n;
            if (n == 0 || got == bytes.size() || (n < 0 && errno != EINTR)) break;
        }
        // Only a file read whole counts as read.
        *exists = got <= kMaxRead;
        bytes.truncate(*exists ? got : 0);
    }
    ::close(fd);
    return bytes;
}

bool TOwnedFolder::IsLink(const QString& name) const {
    struct stat info {};
    return fd_ >= 0 &&
           ::fstatat(fd_, QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode);
}

bool TOwnedFolder::Replace(const QString& name, const QByteArray& bytes) const {
    if (fd_ < 0) return false;
    const QByteArray target = QFile::encodeName(name);
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = "." + target + "." + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::openat(fd_, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0644);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, 0644) == 0;
    for (qsizetype written = 0; ok && written < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n > 0)
            written += n;
        else if (n == 0 || errno != EINTR)
            ok = false;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::renameat(fd_, temp.constData(), fd_, target.constData()) == 0;
    if (!ok) ::unlinkat(fd_, temp.constData(), 0);
    return ok;
}

bool TOwnedFolder::Remove(const QString& name) const {
    return fd_ >= 0 && ::unlinkat(fd_, QFile::encodeName(name).constData(), 0) == 0;
}

}  // namespace trisk
