#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace Execute {

// One recorded rename, as read back from an undo record document.
struct UndoEntry
{
    QString currentPath; // the path after the rename (the first line without its quote)
    QString oldPath;     // the path before the rename (the second line without its quote)
    // The entry's two lines as they stand in the document (spaces at both ends
    // removed), so a rewritten document keeps every byte of the entries it keeps.
    QByteArray currentLine;
    QByteArray oldLine;
};

// An undo record document read back. Lines end at CR LF, a lone CR or a lone
// LF; each is trimmed of spaces at both ends and empty lines are skipped. An
// entry is a line that starts with a double quote followed by a line that ends
// with one; any other line is a stray fragment (a last line without a partner,
// a damaged line) and is ignored. For a well-formed document this is exactly
// "pairs of lines, a last odd line ignored". A document that starts with the
// UTF-8 byte-order mark is UTF-8, any other GBK. Bytes that are not valid in
// the document's encoding read as U+FFFD and so name no existing path.
class UndoLogDocument
{
public:
    static UndoLogDocument parse(const QByteArray& bytes);

    const QList<UndoEntry>& entries() const { return m_entries; }
    // True when the document holds nothing but spaces and line ends.
    bool isBlank() const { return m_blank; }
    bool isUtf8() const { return m_utf8; }
    // The folder shown in the undo's question: the first line without its
    // opening quote, cut after its last "/" (or "\" in a document written on
    // Windows); a line without either is taken whole; empty for a blank document.
    QString folderText() const { return m_folderText; }

    // The document holding `entries`, in the recorded format; a UTF-8 document
    // starts with its byte-order mark.
    static QByteArray serialize(const QList<UndoEntry>& entries, bool utf8 = false);

    // Why `entry` cannot be played back as the undo of a rename, or an empty
    // text: both paths must be absolute names in the same folder.
    static QString entryProblem(const UndoEntry& entry);

private:
    QList<UndoEntry> m_entries;
    QString m_folderText;
    bool m_blank = true;
    bool m_utf8 = false;
};

} // namespace Execute
