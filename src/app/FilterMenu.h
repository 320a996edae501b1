#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace App {

// The type filter "筛选(&S)": items 1 to 10 (`msx`), two of them separators,
// each with a tick; item 1 is ticked at start.
class FilterMenu
{
public:
    static constexpr int ItemCount = 10;

    static QString caption(int item);  // "-" for the separators
    static QString fragment(int item); // "*.doc;*.docx;" or empty
    static bool isSeparator(int item);

    bool ticked(int item) const { return m_ticks[size_t(item - 1)]; }
    void toggle(int item);
    // "*.*" while item 1 is ticked, else the ticked fragments joined with the
    // final ";" removed (empty when nothing is ticked: nothing is listed).
    QString pattern() const;

private:
    std::array<bool, ItemCount> m_ticks{true, false, false, false, false, false, false, false, false, false};
};

} // namespace App
