#pragma once

#include <QString>
#include <QStringView>

namespace Rename {

// A file name cut at its last dot.
struct NameParts
{
    QString base; // the text before the last "."; the whole name when there is no dot
    QString ext;  // the last "." and what follows it, in lower case; empty without a dot
    bool operator==(const NameParts&) const = default;
};

// Splits `name` at its last dot; never fails. The name is taken as it is given
// (callers trim it first).
NameParts SplitExtension(QStringView name);

// `text` without the spaces (U+0020 only) at both ends.
QString trimSpaces(QStringView text);

} // namespace Rename
