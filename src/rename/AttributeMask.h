#pragma once

#include <array>

namespace Rename {

// The attribute value method 8 gives every listed file, from the ticks of
// "常规", "只读", "隐藏" and "存档": read-only 1, hidden 2, archive 32, "常规" adds
// nothing. It is the whole value: bits not in it are cleared on the file.
int AttributeMask(const std::array<bool, 4>& ChkSX);

} // namespace Rename
