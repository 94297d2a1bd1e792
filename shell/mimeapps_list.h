// Line-by-line edits of a freedesktop "mimeapps.list" file that touch only
// the lines of one MIME type. Every other line (comments, blank lines, other
// applications' entries, their spelling and order) stays byte for byte as it
// was, which a generic INI writer such as QSettings cannot promise.
#pragma once

#include <QByteArray>

namespace trisk {

// The file with desktopId as the default application of mimeType
// ("[Default Applications]") and as an added association
// ("[Added Associations]"). A line of mimeType already in one of these groups
// is replaced; a missing group is added at the end of the file.
QByteArray WithDefaultApplication(const QByteArray& text, const QByteArray& mimeType,
                                  const QByteArray& desktopId);

// The file without any line of mimeType in those two groups. A group left
// with no entry by this loses its header too, so that adding and then
// removing gives back the file that was there before.
QByteArray WithoutMimeType(const QByteArray& text, const QByteArray& mimeType);

}  // namespace trisk
