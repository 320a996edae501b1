#include "SheetPartReader.h"

#include "XmlScanner.h"

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

// Markup around the cells (before <sheetData>, after it, or between two rows)
// is held whole; more than this is refused as too large.
constexpr qsizetype kMaxMarkup = qsizetype(64) << 20;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool SheetPartReader::feed(const char* data, qsizetype size)
{
    if (m_failed)
        return false;
    switch (m_state) {
    case State::Head:
        head.append(data, size);
        if (!scanHead(false))
            return false;
        if (m_state == State::Head && head.size() > kMaxMarkup)
            return tooLarge(u"markup before the cells"_s);
        return true;
    case State::Rows:
        m_work.append(data, size);
        return readRows(false);
    case State::Tail:
        tail.append(data, size);
        return tail.size() <= kMaxMarkup || tooLarge(u"markup after the cells"_s);
    }
    return false;
}

bool SheetPartReader::finish()
{
    if (m_failed)
        return false;
    if (m_state == State::Head && !scanHead(true))
        return false;
    if (m_state == State::Rows && !readRows(true))
        return false;
    data.sortRows();
    return true;
}

bool SheetPartReader::failed(WorkbookError::Code code, const QString& why)
{
    m_failed = true;
    return fail(&m_error, code, m_part + u": "_s + why);
}

bool SheetPartReader::tooLarge(const QString& what)
{
    return failed(WorkbookError::Code::TooLarge, what + u" above %1 MB"_s.arg(kMaxMarkup >> 20));
}

// Looks for the <sheetData> start tag; before the whole part is there, an
// incomplete scan only means that more is needed.
bool SheetPartReader::scanHead(bool final)
{
    XmlScanner sc(head.constData(), head.constData() + head.size());
    bool rootSeen = false;
    auto scanFailed = [&](const QString& why) {
        if (!final && !sc.unsafe())
            return true;
        return failed(sc.unsafe() ? WorkbookError::Code::Unsafe : WorkbookError::Code::Corrupt,
                      why.isEmpty() ? sc.errorText() : why);
    };
    while (true) {
        const XmlScanner::Token t = sc.next();
        if (t == XmlScanner::Token::Error)
            return scanFailed({});
        if (t == XmlScanner::Token::End) {
            if (!final)
                return true;
            return rootSeen || failed(WorkbookError::Code::Corrupt, u"no root element"_s);
        }
        if (t != XmlScanner::Token::StartTag)
            continue;
        if (sc.depth() == 1) {
            if (sc.localName() != "worksheet")
                return failed(WorkbookError::Code::Corrupt, u"<worksheet> expected"_s);
            rootSeen = true;
            prefix = std::string(sc.name().substr(0, sc.name().size() - sc.localName().size()));
            continue;
        }
        if (sc.depth() == 2 && sc.localName() == "sheetData") {
            const qsizetype start = sc.tokenBegin() - head.constData();
            const qsizetype tagEnd = sc.position() - head.constData();
            hasSheetData = true;
            if (sc.isEmptyElement()) {
                tail = head.mid(tagEnd);
                head.truncate(start);
                m_state = State::Tail;
                return tail.size() <= kMaxMarkup || tooLarge(u"markup after the cells"_s);
            }
            m_work = head.mid(tagEnd);
            head.truncate(start);
            m_state = State::Rows;
            return readRows(final);
        }
        if (!sc.skipElement())
            return scanFailed({});
    }
}

// Parses the complete rows gathered so far; `final`: all that is left,
// up to </sheetData>.
bool SheetPartReader::readRows(bool final)
{
    const QByteArray p = QByteArray::fromStdString(prefix);
    const QByteArray open = '<' + p + "sheetData>";
    const QByteArray close = "</" + p + "sheetData>";
    qsizetype cut = m_work.size();
    if (!final) {
        // Up to the start of the last row seen: the rows before it are whole.
        const QByteArray rowStart = '<' + p + "row";
        cut = m_work.size();
        while ((cut = m_work.lastIndexOf(rowStart, cut - 1)) > 0) {
            const qsizetype after = cut + rowStart.size();
            if (after < m_work.size() &&
                (isSpace(m_work.at(after)) || m_work.at(after) == '>' || m_work.at(after) == '/'))
                break;
        }
        // Or after the last row's end tag when only spaces follow it.
        const QByteArray rowEnd = "</" + p + "row>";
        qsizetype end = m_work.size();
        while (end > 0 && isSpace(m_work.at(end - 1)))
            --end;
        if (end < m_work.size() && end >= rowEnd.size() &&
            QByteArrayView(m_work).sliced(end - rowEnd.size(), rowEnd.size()) == rowEnd)
            cut = std::max(cut, end);
        if (cut <= 0) {
            qsizetype spaces = 0;
            while (spaces < m_work.size() && isSpace(m_work.at(spaces)))
                ++spaces;
            m_work.remove(0, spaces);
            return m_work.size() <= kMaxMarkup || tooLarge(u"a row"_s);
        }
    }
    QByteArray piece;
    piece.reserve(open.size() + cut + close.size());
    piece.append(open);
    piece.append(m_work.constData(), cut);
    if (!final)
        piece.append(close);
    SheetData more;
    QString why;
    bool unsafe = false;
    bool large = false;
    const char* stopped = nullptr;
    int lastRow = m_lastRow;
    if (!more.parse(piece.constData(), piece.constData() + piece.size(), &why, &unsafe, m_budget, &large,
                    &stopped, &lastRow)) {
        // Before the end, the cut may lie inside a comment or a CDATA
        // section: then the rows are read once more has come.
        if (!final && !unsafe && !large && m_work.size() <= kMaxMarkup)
            return true;
        return failed(unsafe  ? WorkbookError::Code::Unsafe
                      : large ? WorkbookError::Code::TooLarge
                              : WorkbookError::Code::Corrupt,
                      why);
    }
    m_lastRow = lastRow;
    data.append(std::move(more));
    const qsizetype used = stopped - piece.constData();
    if (final || used < piece.size()) {
        // </sheetData> came: the rest is the markup after the cells.
        tail = piece.mid(used, piece.size() - used - (final ? 0 : close.size())) + m_work.mid(cut);
        m_work.clear();
        m_state = State::Tail;
        return tail.size() <= kMaxMarkup || tooLarge(u"markup after the cells"_s);
    }
    m_work.remove(0, cut);
    return true;
}

} // namespace Xl
