#pragma once

#include "platform/AppPaths.h"

#include "RenameMethod.h"
#include "RenameOptions.h"
#include "platform/Dialogs.h"

#include <QList>
#include <QStringList>

namespace Rename {

struct NewNameResult
{
    // Entry k is the new name of listed name k. Empty for method 9 and for
    // method 6 without a document or with one that cannot be read.
    QStringList names;
    // The messages to show, in order: at most one "too short to delete from"
    // message of method 1, or the unreadable-document message of method 6.
    QList<Platform::MessageRequest> messages;
    // Method 6's document could not be read; its message is among `messages`.
    // It concerns only the commands that use the names (preview, execute).
    bool documentUnreadable = false;
};

// Computes one new name per entry of `names` (file or folder names as listed)
// with `method` and its options. Each name has its spaces removed at both ends
// and is cut by SplitExtension before the method's rule applies; the results are
// not checked (a name may be empty, repeated or unchanged). Method 6 reads its
// reference document (GBK, one name per line) at every call. Needs no window.
NewNameResult FillNewName(const QStringList& names, RenameMethod method, const RenameOptions& options);

// The method-1 message for a base name of `count` characters or fewer.
QString tooShortMessage(const QString& base, qint64 count);
// The method-6 message for a reference document that cannot be read.
QString unreadableDocumentMessage(const QString& path);

// The default reference document, where the user can write it: dataFolder()
// of `paths` (beside the program when that folder is writable, otherwise the
// user's data folder). Created when missing, as a copy of a shipped one when
// the program has one, otherwise empty, so the option works out of the box.
// The path is returned even when it could not be created.
QString defaultReferenceDocument(const Platform::AppPaths& paths);

} // namespace Rename
