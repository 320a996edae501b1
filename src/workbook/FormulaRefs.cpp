#include "FormulaRefs.h"

#include "CellAddress.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace Xl::FormulaRefs {

namespace {

bool isWordChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' ||
           u == '.' || u == '\\' || u == '?' || u == '$' ||
           (u >= 0x80 && (c.isLetterOrNumber() || c.isMark()));
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

struct Endpoint
{
    bool absColumn = false, absRow = false;
    int column = 0, row = 0; // 0 when the part is missing (row or column ranges)
};

// "$A$1", "A1", "$A", "A", "$1", "1".
bool parseEndpoint(const QString& w, Endpoint* e, bool allowColumnOnly, bool allowRowOnly)
{
    qsizetype i = 0;
    const qsizetype n = w.size();
    Endpoint out;
    if (i < n && w[i] == u'$') {
        out.absColumn = true;
        ++i;
    }
    const qsizetype lettersStart = i;
    while (i < n && w[i].isLetter() && w[i].unicode() < 0x80)
        ++i;
    const qsizetype letters = i - lettersStart;
    if (letters > 3)
        return false;
    if (letters > 0) {
        out.column = parseColumnLetters(w.mid(lettersStart, letters).toStdString());
        if (out.column == 0)
            return false;
    } else {
        // A row-only endpoint: the "$" read above belongs to the row.
        out.absRow = out.absColumn;
        out.absColumn = false;
    }
    if (letters > 0 && i < n && w[i] == u'$') {
        out.absRow = true;
        ++i;
    }
    const qsizetype digitsStart = i;
    while (i < n && isDigit(w[i]))
        ++i;
    const qsizetype digits = i - digitsStart;
    if (i != n)
        return false;
    if (digits > 0) {
        bool ok = false;
        const long long r = w.mid(digitsStart, digits).toLongLong(&ok);
        if (!ok || r < 1 || r > MaxRows)
            return false;
        out.row = int(r);
    }
    if (letters > 0 && digits > 0) {
        *e = out;
        return true;
    }
    if (letters > 0 && digits == 0 && allowColumnOnly && !out.absRow) {
        *e = out;
        return true;
    }
    if (letters == 0 && digits > 0 && allowRowOnly) {
        *e = out;
        return true;
    }
    return false;
}

QString endpointText(const Endpoint& e)
{
    QString out;
    if (e.column > 0) {
        if (e.absColumn)
            out += u'$';
        out += columnName(e.column);
    }
    if (e.row > 0) {
        if (e.absRow)
            out += u'$';
        out += QString::number(e.row);
    }
    return out;
}

// A reference found in a formula.
struct Reference
{
    QString prefix;        // as written, including the "!" ("" when none)
    QStringList sheets;    // unquoted sheet names of the prefix (one, or two for 3D)
    bool external = false; // "[1]Sheet1!"
    QString body;          // the cell part as written ("A1", "$A:$C", "#REF!")
    Endpoint first, second;
    bool range = false;
    bool valid = true; // false for "#REF!" bodies and names
};

// Splits formula text into copied text and references; `onRef` returns the
// replacement text of each reference.
QString rewrite(const QString& f, const std::function<QString(const Reference&)>& onRef)
{
    QString out;
    out.reserve(f.size() + 8);
    const qsizetype n = f.size();
    qsizetype i = 0;

    auto readWord = [&](qsizetype from) {
        qsizetype j = from;
        while (j < n && isWordChar(f[j]))
            ++j;
        return j;
    };

    while (i < n) {
        const QChar c = f[i];
        if (c == u'"') {
            qsizetype j = i + 1;
            while (j < n) {
                if (f[j] == u'"') {
                    if (j + 1 < n && f[j + 1] == u'"') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += f.mid(i, j + 1 - i);
            i = j + 1;
            continue;
        }
        if (c == u'#') {
            // Error literals copy through.
            qsizetype j = i + 1;
            while (j < n && (f[j].isLetterOrNumber() || f[j] == u'/' || f[j] == u'_'))
                ++j;
            if (j < n && (f[j] == u'!' || f[j] == u'?'))
                ++j;
            out += f.mid(i, j - i);
            i = j;
            continue;
        }

        // A sheet prefix: 'quoted'!, [n]name!, name!, name:name!
        Reference ref;
        qsizetype j = i;
        bool havePrefix = false;
        if (c == u'\'' || c == u'[' || isWordChar(c)) {
            qsizetype k = i;
            QStringList names;
            bool external = false;
            bool ok = true;
            for (int part = 0; part < 2 && ok; ++part) {
                if (k < n && f[k] == u'[') {
                    const qsizetype close = f.indexOf(u']', k);
                    if (close < 0) {
                        ok = false;
                        break;
                    }
                    external = true;
                    k = close + 1;
                }
                if (k < n && f[k] == u'\'') {
                    QString name;
                    qsizetype m = k + 1;
                    while (m < n) {
                        if (f[m] == u'\'') {
                            if (m + 1 < n && f[m + 1] == u'\'') {
                                name += u'\'';
                                m += 2;
                                continue;
                            }
                            break;
                        }
                        name += f[m];
                        ++m;
                    }
                    if (m >= n) {
                        ok = false;
                        break;
                    }
                    // A quoted "[1]Book" or "Sheet1:Sheet2" inside.
                    if (name.startsWith(u'[')) {
                        const qsizetype close = name.indexOf(u']');
                        if (close > 0) {
                            external = true;
                            name = name.mid(close + 1);
                        }
                    }
                    for (const QString& s : name.split(u':'))
                        names << s;
                    k = m + 1;
                } else {
                    const qsizetype e = readWord(k);
                    if (e == k) {
                        ok = false;
                        break;
                    }
                    names << f.mid(k, e - k);
                    k = e;
                }
                if (k < n && f[k] == u'!') {
                    havePrefix = true;
                    ++k;
                    break;
                }
                if (k < n && f[k] == u':' && part == 0)
                    ++k; // maybe a 3D prefix; the second name follows
                else
                    ok = false;
            }
            if (havePrefix && ok) {
                ref.prefix = f.mid(i, k - i);
                ref.sheets = names;
                ref.external = external;
                j = k;
            } else {
                havePrefix = false;
            }
        }

        if (!havePrefix && c == u'[') {
            // A structured reference's brackets: copied whole, nesting included.
            int depth = 0;
            qsizetype k = i;
            for (; k < n; ++k) {
                if (f[k] == u'[')
                    ++depth;
                else if (f[k] == u']' && --depth == 0)
                    break;
            }
            out += f.mid(i, k + 1 - i);
            i = k + 1;
            continue;
        }
        if (!havePrefix && !isWordChar(c)) {
            out += c;
            ++i;
            continue;
        }

        // The reference body (or a name, function, number) after the prefix.
        if (j < n && f[j] == u'#') {
            qsizetype e = j + 1;
            while (e < n && (f[e].isLetterOrNumber() || f[e] == u'/'))
                ++e;
            if (e < n && (f[e] == u'!' || f[e] == u'?'))
                ++e;
            ref.body = f.mid(j, e - j);
            ref.valid = false;
            out += onRef(ref);
            i = e;
            continue;
        }
        qsizetype e = j;
        if (e < n && isDigit(f[e]) && !havePrefix) {
            // A number, unless it is the start of a row range "1:3".
            qsizetype d = e;
            while (d < n && isDigit(f[d]))
                ++d;
            const bool rowRange =
                d < n && f[d] == u':' && d + 1 < n && (isDigit(f[d + 1]) || f[d + 1] == u'$');
            if (!rowRange) {
                qsizetype m = d;
                while (m < n && (isDigit(f[m]) || f[m] == u'.'))
                    ++m;
                if (m < n && (f[m] == u'E' || f[m] == u'e')) {
                    qsizetype x = m + 1;
                    if (x < n && (f[x] == u'+' || f[x] == u'-'))
                        ++x;
                    if (x < n && isDigit(f[x])) {
                        while (x < n && isDigit(f[x]))
                            ++x;
                        m = x;
                    }
                }
                out += f.mid(i, m - i);
                i = m;
                continue;
            }
        }
        e = readWord(j);
        if (e == j) {
            // A prefix with nothing usable after it.
            out += f.mid(i, j - i);
            i = j;
            continue;
        }
        const QString word = f.mid(j, e - j);
        // Functions and structured references are not cell references.
        if (e < n && (f[e] == u'(' || f[e] == u'[')) {
            out += f.mid(i, e - i);
            i = e;
            continue;
        }
        Endpoint a;
        const bool cellA = parseEndpoint(word, &a, false, false);
        bool done = false;
        if (e < n && f[e] == u':') {
            const qsizetype s = e + 1;
            const qsizetype t = readWord(s);
            const QString word2 = f.mid(s, t - s);
            const bool follows = !(t < n && (f[t] == u'(' || f[t] == u'[' || f[t] == u'!'));
            Endpoint a2, b2;
            if (follows && parseEndpoint(word, &a2, true, true) && parseEndpoint(word2, &b2, true, true) &&
                ((a2.column > 0) == (b2.column > 0)) && ((a2.row > 0) == (b2.row > 0))) {
                ref.first = a2;
                ref.second = b2;
                ref.range = true;
                ref.body = f.mid(j, t - j);
                out += onRef(ref);
                i = t;
                done = true;
            }
        }
        if (done)
            continue;
        if (cellA) {
            ref.first = a;
            ref.body = word;
            out += onRef(ref);
            i = e;
            continue;
        }
        // A defined name (possibly sheet-qualified) or a constant.
        out += f.mid(i, e - i);
        i = e;
    }
    return out;
}

bool shiftEndpoint(Endpoint& e, int rows, int columns)
{
    if (e.column > 0 && !e.absColumn) {
        e.column += columns;
        if (e.column < 1 || e.column > MaxColumns)
            return false;
    }
    if (e.row > 0 && !e.absRow) {
        e.row += rows;
        if (e.row < 1 || e.row > MaxRows)
            return false;
    }
    return true;
}

} // namespace

QString shift(const QString& formula, int rows, int columns)
{
    if (rows == 0 && columns == 0)
        return formula;
    return rewrite(formula, [&](const Reference& r) -> QString {
        if (!r.valid)
            return r.prefix + r.body;
        Endpoint a = r.first, b = r.second;
        if (!shiftEndpoint(a, rows, columns) || (r.range && !shiftEndpoint(b, rows, columns)))
            return r.prefix + u"#REF!"_s;
        if (r.range)
            return r.prefix + endpointText(a) + u':' + endpointText(b);
        return r.prefix + endpointText(a);
    });
}

QString renameSheet(const QString& formula, const QString& from, const QString& to)
{
    return rewrite(formula, [&](const Reference& r) -> QString {
        if (r.prefix.isEmpty() || r.external)
            return r.prefix + r.body;
        bool hit = false;
        QStringList names = r.sheets;
        for (QString& s : names) {
            if (s.compare(from, Qt::CaseInsensitive) == 0) {
                s = to;
                hit = true;
            }
        }
        if (!hit)
            return r.prefix + r.body;
        QString prefix;
        if (names.size() == 2) {
            const QString joined = names[0] + u':' + names[1];
            const QString q0 = quoteSheetName(names[0]);
            const QString q1 = quoteSheetName(names[1]);
            prefix = (q0.startsWith(u'\'') || q1.startsWith(u'\''))
                         ? u'\'' + QString(joined).replace(u"'"_s, u"''"_s) + u'\''
                         : joined;
        } else {
            prefix = quoteSheetName(names[0]);
        }
        return prefix + u'!' + r.body;
    });
}

QString dropSheet(const QString& formula, const QString& sheet)
{
    return rewrite(formula, [&](const Reference& r) -> QString {
        if (r.prefix.isEmpty() || r.external || r.sheets.size() != 1 ||
            r.sheets[0].compare(sheet, Qt::CaseInsensitive) != 0)
            return r.prefix + r.body;
        return u"#REF!"_s;
    });
}

bool refersToSheet(const QString& formula, const QString& sheet)
{
    if (!formula.contains(sheet, Qt::CaseInsensitive))
        return false;
    bool found = false;
    rewrite(formula, [&](const Reference& r) -> QString {
        if (!r.prefix.isEmpty() && !r.external) {
            for (const QString& s : r.sheets) {
                if (s.compare(sheet, Qt::CaseInsensitive) == 0)
                    found = true;
            }
        }
        return r.prefix + r.body;
    });
    return found;
}

QString externalize(const QString& formula, const std::function<int()>& book,
                    const std::function<QString(const QString& sheet)>& savedName, QList<SheetRange>* ranges)
{
    return rewrite(formula, [&](const Reference& r) -> QString {
        if (r.prefix.isEmpty() || r.external || r.sheets.size() != 1 || !r.valid)
            return r.prefix + r.body;
        const QString saved = savedName(r.sheets[0]);
        if (saved.isEmpty())
            return r.prefix + r.body;
        const int number = book();
        if (number <= 0)
            return r.prefix + r.body;
        if (ranges) {
            SheetRange range;
            range.sheet = saved;
            const Endpoint& a = r.first;
            const Endpoint& b = r.range ? r.second : r.first;
            range.firstRow = a.row > 0 ? std::min(a.row, b.row) : 1;
            range.lastRow = a.row > 0 ? std::max(a.row, b.row) : MaxRows;
            range.firstColumn = a.column > 0 ? std::min(a.column, b.column) : 1;
            range.lastColumn = a.column > 0 ? std::max(a.column, b.column) : MaxColumns;
            ranges->append(range);
        }
        const QString quoted = quoteSheetName(saved);
        const QString tag = u'[' + QString::number(number) + u']';
        const QString prefix =
            quoted.startsWith(u'\'') ? QString(u'\'' + tag + quoted.mid(1)) : QString(tag + quoted);
        return prefix + u'!' + r.body;
    });
}

bool hasExternalReference(const QString& formula)
{
    if (!formula.contains(u'['))
        return false;
    bool found = false;
    rewrite(formula, [&](const Reference& r) -> QString {
        found = found || r.external;
        return r.prefix + r.body;
    });
    return found;
}

QString quoteSheetName(const QString& name)
{
    bool plain = !name.isEmpty() && !isDigit(name[0]) && name[0] != u'.';
    for (const QChar c : name) {
        if (!isWordChar(c) || c == u'$' || c == u'?' || c == u'\\') {
            plain = false;
            break;
        }
    }
    if (plain) {
        // Names that read as references or constants need quotes.
        static const QRegularExpression cellLike(u"^[A-Za-z]{1,3}[0-9]+$"_s);
        static const QRegularExpression r1c1Like(u"^([Rr][0-9]*)?([Cc][0-9]*)?$"_s);
        if (cellLike.match(name).hasMatch() || r1c1Like.match(name).hasMatch() ||
            name.compare(u"TRUE"_s, Qt::CaseInsensitive) == 0 ||
            name.compare(u"FALSE"_s, Qt::CaseInsensitive) == 0)
            plain = false;
    }
    if (plain)
        return name;
    return u'\'' + QString(name).replace(u"'"_s, u"''"_s) + u'\'';
}

} // namespace Xl::FormulaRefs
