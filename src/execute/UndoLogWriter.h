#pragma once

#include "UndoLog.h"

#include <QByteArray>
#include <QString>

namespace Execute {

// Appends entries to an undo record document, each with a single write() to the
// file, so what has been appended survives a crash or kill of the program at
// once; close() makes it durable with one fsync.
//
// The document is locked (flock) while it is open; every writer and the undo
// take that lock, so two runs that share a document (two executions within the
// same second) do not mix their entries, and a document the undo is rewriting
// is reopened rather than written after its replacement.
class UndoLogWriter
{
public:
    UndoLogWriter() = default;
    ~UndoLogWriter();
    UndoLogWriter(const UndoLogWriter&) = delete;
    UndoLogWriter& operator=(const UndoLogWriter&) = delete;

    // Opens `path` for appending, creating it when missing. False when it
    // cannot be created or opened (a missing or read-only undo folder).
    //
    // A document keeps one encoding: a new one is started in `wanted` (UTF-8
    // with its byte-order mark); an existing UTF-8 one stays UTF-8; an existing
    // GBK one stays GBK unless `wanted` is UTF-8, in which case it is first
    // rewritten as UTF-8, atomically. encoding() tells what to append.
    bool open(const QString& path, UndoLogEncoding wanted = UndoLogEncoding::Gbk);
    UndoLogEncoding encoding() const { return m_encoding; }
    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }

    // Appends one entry with one write(). On failure nothing of it stays in the
    // document and false is returned.
    bool append(const QByteArray& entry);
    // Takes back the entry appended last.
    void retract();

    // Flushes to disk and closes. False when the document could not be opened,
    // an append failed or the flush failed.
    bool close();

private:
    // One write() of `bytes`; a short write (a full disk) is cut back so the
    // document still ends on a whole entry, and when that fails too the
    // document is no longer used.
    bool writeAll(const QByteArray& bytes);

    QString m_path;
    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_lastStart = -1;
    bool m_created = false;
    bool m_failed = false;
    UndoLogEncoding m_encoding = UndoLogEncoding::Gbk;
};

} // namespace Execute
