#pragma once

#include <QByteArray>
#include <QString>

namespace TextFiles {

// What happens to the backup once the cleaned file is in place.
enum class BackupPolicy
{
    Keep,
    // Delete it unless it is read-only (the single-file command).
    DeleteUnlessReadOnly,
    // Delete it even when it is read-only (the all-files command).
    Delete,
};

struct BlankLineResult
{
    bool cleaned = false; // the file now holds the cleaned text
    QString error;        // why it was not cleaned; empty when it was
    qint64 removed = 0;   // blank lines left out
    QString backupPath;   // the backup this run made, empty when none remains
    bool backupKept = false;
};

// Cleans the bytes of a whole text in one go (the streamed file version below
// gives the same bytes): a blank line holds nothing but spaces (0x20) before
// its line end; CR LF, a lone LF and a lone CR each end a line; kept lines are
// copied byte for byte and each ends with CR LF. A UTF-8 byte order mark is
// kept in front. A text beginning with a UTF-16 byte order mark (FF FE or
// FE FF) is read and written in 16-bit units of that byte order.
// GBK and UTF-8 never use 0x20, 0x0D or 0x0A inside a character, so this is
// exact for them without decoding anything.
QByteArray cleanBlankLines(const QByteArray& text, qint64* removed = nullptr);

// Removes the blank lines from the file at `filePath`, never losing its
// content at any moment:
//  1. the backup is made under the first free name of folder + "_" + name,
//     "_name (2).ext", "_name (3).ext", ... as a hard link to the file (a
//     copy where the file system refuses links); an existing file is never
//     replaced;
//  2. the cleaned text is streamed (bounded memory) into a temporary file
//     beside the file, flushed, given the file's permissions and renamed over
//     the file;
//  3. by `policy` the backup made in step 1 is deleted (nothing else ever is).
// On any failure before step 2 completes, the file is unchanged and the
// backup made by this call (if any) is removed again.
BlankLineResult RemoveBlankLines(const QString& filePath, BackupPolicy policy);

} // namespace TextFiles
