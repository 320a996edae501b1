#pragma once

#include <QString>

namespace Folders {

// The text before the last "/" of `path`; empty when it holds none.
// "/a/b/" gives "/a/b", "/a/b" gives "/a", "/" gives "".
QString ParentPath(const QString& path);

// The text after the last "/" of `path`; empty when it is empty or holds none.
// "/a/b" gives "b", "/a/b/" gives "".
QString LastPathPart(const QString& path);

} // namespace Folders
