#pragma once

#include "SheetData.h"
#include "WorkbookError.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <string>

namespace Xl {

// Reads a worksheet part piece by piece: the cells go into SheetData as their
// rows complete, so that memory follows the cells kept, not the size of the
// XML; the markup before and after <sheetData> is kept for the DOM, up to
// 64 MB each (more is refused as TooLarge, as is a row above 64 MB). The
// result does not depend on where the pieces are cut.
class SheetPartReader
{
public:
    SheetPartReader(const QString& part, std::atomic<qint64>* cellBudget) : m_part(part), m_budget(cellBudget)
    {
    }

    // Takes the next piece of the part; false once the part is refused.
    bool feed(const char* data, qsizetype size);
    // After the last piece: reads what is left. False when the part is refused.
    bool finish();
    const WorkbookError& error() const { return m_error; }

    QByteArray head; // the part up to <sheetData> (all of it when there is none)
    QByteArray tail; // after </sheetData>
    std::string prefix;
    bool hasSheetData = false;
    SheetData data;

private:
    enum class State
    {
        Head,
        Rows,
        Tail
    };

    bool failed(WorkbookError::Code code, const QString& why);
    bool tooLarge(const QString& what);
    bool scanHead(bool final);
    bool readRows(bool final);

    QString m_part;
    std::atomic<qint64>* m_budget;
    State m_state = State::Head;
    QByteArray m_work; // rows not read yet
    int m_lastRow = 0;
    bool m_failed = false;
    WorkbookError m_error;
};

} // namespace Xl
