#include "shell/mimeapps_list.h"

#include <QList>

#include <optional>

namespace trisk {

namespace {

constexpr char kDefaultGroup[] = "Default Applications";
constexpr char kAddedGroup[] = "Added Associations";

// The file as lines without their "\n"; whether the last line had one.
struct TLines {
    QList<QByteArray> Lines;
    bool FinalNewline = true;
};

TLines Split(const QByteArray& text) {
    TLines file;
    if (text.isEmpty()) return file;
    file.Lines = text.split('\n');
    if (text.endsWith('\n')) {
        file.Lines.removeLast();
    } else {
        file.FinalNewline = false;
    }
    return file;
}

QByteArray Join(const TLines& file) {
    QByteArray text = file.Lines.join('\n');
    if (!file.Lines.isEmpty() && file.FinalNewline) text += '\n';
    return text;
}

// The group that a header line opens.
std::optional<QByteArray> GroupOf(const QByteArray& line) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith('[') || !trimmed.endsWith(']'))
        return std::nullopt;
    return trimmed.mid(1, trimmed.size() - 2);
}

bool IsBlank(const QByteArray& line) {
    return line.trimmed().isEmpty();
}

// A "type=..." line for mimeType (MIME types compare without case).
bool IsEntryOf(const QByteArray& line, const QByteArray& mimeType) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.startsWith('#')) return false;
    const qsizetype equals = trimmed.indexOf('=');
    return equals > 0 && trimmed.left(equals).trimmed().compare(mimeType, Qt::CaseInsensitive) == 0;
}

// The index of the next header after line `from`, or the number of lines.
qsizetype NextHeader(const QList<QByteArray>& lines, qsizetype from) {
    for (qsizetype i = from + 1; i < lines.size(); ++i) {
        if (GroupOf(lines[i])) return i;
    }
    return lines.size();
}

void SetEntry(QList<QByteArray>& lines, const QByteArray& group, const QByteArray& mimeType,
              const QByteArray& entry) {
    qsizetype header = -1;      // the group's first header
    qsizetype lastFilled = -1;  // its last non-blank line
    QList<qsizetype> found;
    bool inGroup = false;
    bool inFirst = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (std::optional<QByteArray> opened = GroupOf(lines[i])) {
            inGroup = *opened == group;
            inFirst = inGroup && header < 0;
            if (inFirst) header = lastFilled = i;
            continue;
        }
        if (!inGroup) continue;
        if (IsEntryOf(lines[i], mimeType)) found << i;
        if (inFirst && !IsBlank(lines[i])) lastFilled = i;
    }
    if (!found.isEmpty()) {
        // One line of the type: the first one, rewritten; repeats go.
        for (qsizetype k = found.size() - 1; k > 0; --k)
            lines.removeAt(found[k]);
        lines[found.first()] = entry;
    } else if (header >= 0) {
        lines.insert(lastFilled + 1, entry);
    } else {
        if (!lines.isEmpty() && !IsBlank(lines.last())) lines << QByteArray();
        lines << "[" + group + "]" << entry;
    }
}

void RemoveEntries(QList<QByteArray>& lines, const QByteArray& group, const QByteArray& mimeType) {
    // Drop the type's lines, remembering the headers of the groups they left.
    QList<qsizetype> touchedHeaders;
    qsizetype header = -1;
    bool inGroup = false;
    for (qsizetype i = 0; i < lines.size();) {
        if (std::optional<QByteArray> opened = GroupOf(lines[i])) {
            inGroup = *opened == group;
            header = i++;
            continue;
        }
        if (inGroup && IsEntryOf(lines[i], mimeType)) {
            lines.removeAt(i);
            if (touchedHeaders.isEmpty() || touchedHeaders.last() != header)
                touchedHeaders << header;
            continue;
        }
        ++i;
    }
    // A group left without entries goes with its header; at the end of the
    // file the blank line that separated it goes too.
    for (qsizetype k = touchedHeaders.size() - 1; k >= 0; --k) {
        const qsizetype start = touchedHeaders[k];
        const qsizetype end = NextHeader(lines, start);
        bool empty = true;
        for (qsizetype i = start + 1; i < end && empty; ++i)
            empty = IsBlank(lines[i]);
        if (!empty) continue;
        lines.remove(start, end - start);
        if (start == lines.size() && start > 0 && IsBlank(lines[start - 1]))
            lines.removeAt(start - 1);
    }
}

}  // namespace

QByteArray WithDefaultApplication(const QByteArray& text, const QByteArray& mimeType,
                                  const QByteArray& desktopId) {
    TLines file = Split(text);
    SetEntry(file.Lines, kDefaultGroup, mimeType, mimeType + "=" + desktopId);
    SetEntry(file.Lines, kAddedGroup, mimeType, mimeType + "=" + desktopId + ";");
    return Join(file);
}

QByteArray WithoutMimeType(const QByteArray& text, const QByteArray& mimeType) {
    TLines file = Split(text);
    RemoveEntries(file.Lines, kDefaultGroup, mimeType);
    RemoveEntries(file.Lines, kAddedGroup, mimeType);
    return Join(file);
}

}  // namespace trisk
