#include "AttributeMask.h"

#include "platform/FileAttributes.h"

namespace Rename {

int AttributeMask(const std::array<bool, 4>& ChkSX)
{
    int mask = Platform::AttrNormal;
    if (ChkSX[1])
        mask |= Platform::AttrReadOnly;
    if (ChkSX[2])
        mask |= Platform::AttrHidden;
    if (ChkSX[3])
        mask |= Platform::AttrArchive;
    return mask;
}

} // namespace Rename
