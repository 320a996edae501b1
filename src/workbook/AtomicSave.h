#pragma once

#include "WorkbookError.h"

#include <QByteArray>
#include <QString>

namespace Xl {

// Stages of a save at which a test can make the next save fail.
enum class SaveFault
{
    None,
    Write,
    Sync,
    Rename
};

// Writes `data` to `path` as a whole or not at all: into a temporary file
// beside it, flushed to disk, then renamed over it (the permissions of a file
// replaced are kept). On failure the temporary file is removed and the file at
// `path` is untouched. A symbolic link at `path` stays; the file it names is
// replaced. `fault` makes the given stage fail, for tests.
bool saveAtomically(const QString& path, const QByteArray& data, SaveFault fault, WorkbookError* error);

} // namespace Xl
