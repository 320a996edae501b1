#include "FillNewName.h"

#include "platform/FileSystem.h"

#include "CaseConvert.h"
#include "NameParts.h"
#include "NumberText.h"
#include "Pinyin.h"
#include "platform/GbkText.h"

#include <QDir>

#include <algorithm>
#include <limits>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace Rename {

namespace {

// No file name can be longer, so a longer pattern would only pad to no purpose.
constexpr int maxDigits = 255;

qint64 addSaturated(qint64 a, qint64 b)
{
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    if (b > 0 && a > max - b)
        return max;
    if (b < 0 && a < min - b)
        return min;
    return a + b;
}

// Runs `rule(name, parts)` for every listed name, with the name trimmed.
template <typename Rule> QStringList eachName(const QStringList& names, Rule rule)
{
    QStringList out;
    out.reserve(names.size());
    for (const QString& listed : names) {
        const QString name = trimSpaces(listed);
        out.append(rule(name, SplitExtension(name)));
    }
    return out;
}

QStringList numbering(const QStringList& names, const RenameOptions::Numbering& o)
{
    const QString prefix = o.ChkQH[0] ? trimSpaces(o.TxtQH[0]) : QString();
    const QString suffix = o.ChkQH[1] ? trimSpaces(o.TxtQH[1]) : QString();
    // A negative digit count can only be pasted; it gives no pattern, as 0 does.
    const int digits = std::clamp(toInt16(numericValue(o.TxtQH[2])), 0, maxDigits);
    const int increment = toInt16(numericValue(o.TxtQH[3]));
    qint64 number = numericValue(o.TxtQH[4]);
    const int keep = o.ChkBF ? o.OptBF : -1;
    return eachName(names, [&](const QString&, const NameParts& parts) -> QString {
        const QString numberText = formatNumber(number, digits);
        number = addSaturated(number, increment);
        const QString front = keep == 0 ? parts.base : QString();
        const QString back = keep == 1 ? parts.base : QString();
        return front + prefix + numberText + suffix + back + parts.ext;
    });
}

// UTF-16 offset after the first `count` characters of `text` (a surrogate pair
// is one character, so no character is ever cut in half).
qsizetype offsetOfCharacter(QStringView text, qint64 count)
{
    qsizetype i = 0;
    for (; i < text.size() && count > 0; ++i, --count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return i;
}

qint64 characterCount(QStringView text)
{
    qint64 count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return count;
}

QStringList deleteCharacters(const QStringList& names, const RenameOptions::DeleteCharacters& o,
                             QList<Platform::MessageRequest>& messages)
{
    const bool fromStart = o.OptDel != 1;
    // A negative count can only be pasted; it deletes nothing.
    const qint64 count = std::max<qint64>(0, numericValue(o.TxtNumDel[fromStart ? 0 : 1]));
    bool told = false;
    return eachName(names, [&](const QString& name, const NameParts& parts) -> QString {
        const qint64 length = characterCount(parts.base);
        if (count >= length) {
            if (!told) {
                messages.append({tooShortMessage(parts.base, count), QString(), Platform::MessageIcon::None,
                                 Platform::MessageButtons::Ok, Platform::MessageAnswer::Ok});
                told = true;
            }
            return name;
        }
        const QStringView base(parts.base);
        const QStringView kept = fromStart ? base.sliced(offsetOfCharacter(base, count))
                                           : base.first(offsetOfCharacter(base, length - count));
        return kept + parts.ext;
    });
}

QStringList prefixSuffix(const QStringList& names, const RenameOptions::PrefixSuffix& o)
{
    const QString prefix = o.ChkTJ[0] ? trimSpaces(o.TxtFB[0]) : QString();
    const QString suffix = o.ChkTJ[1] ? trimSpaces(o.TxtFB[1]) : QString();
    return eachName(names, [&](const QString&, const NameParts& parts) -> QString {
        return prefix + (o.ChkDelName ? QString() : parts.base) + suffix + parts.ext;
    });
}

QStringList replace(const QStringList& names, const RenameOptions::Replace& o)
{
    const QString find = trimSpaces(o.TxtFind);
    const QString replacement = trimSpaces(o.TxtRep);
    return eachName(names, [&](const QString&, const NameParts& parts) -> QString {
        if (find.isEmpty())
            return parts.base + parts.ext;
        QString base = parts.base;
        base.replace(find, replacement, Qt::CaseSensitive);
        return base + parts.ext;
    });
}

QStringList extension(const QStringList& names, const RenameOptions::Extension& o)
{
    return eachName(names,
                    [&](const QString&, const NameParts& parts) -> QString { return parts.base + o.TxtExt; });
}

QStringList split(const QStringList& names, const RenameOptions::Split& o)
{
    const QString& sep = o.SplitSeparator;
    const int mode = (o.SplitMode == 1 || o.SplitMode == 2) ? o.SplitMode : 0;
    const bool dropSeparator = o.ChkFG[0];
    const bool trimPart = o.ChkFG[1];
    return eachName(names, [&](const QString& name, const NameParts& parts) -> QString {
        if (parts.base.isEmpty())
            return name;
        if (sep.isEmpty()) {
            // With no separator yet, keeping "the part before it" keeps the whole base.
            if (mode != 0)
                return name;
            return (trimPart ? trimSpaces(parts.base) : parts.base) + parts.ext;
        }
        const qsizetype at = parts.base.indexOf(sep, 0, Qt::CaseSensitive);
        if (at < 0)
            return name;
        const QStringView base(parts.base);
        const QStringView before = base.first(at);
        const QStringView after = base.sliced(at + sep.size());
        QString part;
        switch (mode) {
        case 1:
            part = dropSeparator ? after.toString() : sep + after;
            break;
        case 2:
            return after + sep + before + parts.ext;
        default:
            part = dropSeparator ? before.toString() : before + sep;
            break;
        }
        if (trimPart)
            part = trimSpaces(part);
        return part + parts.ext;
    });
}

QStringList referenceDocument(const QStringList& names, const RenameOptions::ReferenceDocument& o,
                              QList<Platform::MessageRequest>& messages, bool& documentUnreadable)
{
    if (o.ReferenceDocumentPath.isEmpty() || names.isEmpty())
        return {};
    bool ok = false;
    const QStringList lines = Platform::readGbkLines(o.ReferenceDocumentPath, &ok);
    if (!ok) {
        documentUnreadable = true;
        messages.append({unreadableDocumentMessage(o.ReferenceDocumentPath), QString(),
                         Platform::MessageIcon::Warning, Platform::MessageButtons::Ok,
                         Platform::MessageAnswer::Ok});
        return {};
    }
    qsizetype k = 0;
    return eachName(names, [&](const QString& name, const NameParts& parts) -> QString {
        const qsizetype index = k++;
        // A file beyond the document's last line keeps its name.
        if (index >= lines.size())
            return name;
        const QString& line = lines[index];
        if (o.ChkFore)
            return parts.base + line + parts.ext;
        if (o.ChkBack)
            return line + parts.base + parts.ext;
        return line + parts.ext;
    });
}

QStringList letterCase(const QStringList& names, const RenameOptions::LetterCase& o)
{
    const CaseMode mode = caseModeOfOption(o.OptZH);
    const bool strip = o.ChkPY && o.PinyinStripSpaces;
    if (o.ChkPY)
        LoadPinyinTable();
    return eachName(names, [&](const QString&, const NameParts& parts) -> QString {
        const QString base = o.ChkPY ? ToPinyin(parts.base, mode, strip) : parts.base;
        return CaseConvert(base, mode) + parts.ext;
    });
}

QStringList unchanged(const QStringList& names)
{
    return eachName(names, [](const QString& name, const NameParts&) -> QString { return name; });
}

} // namespace

QString tooShortMessage(const QString& base, qint64 count)
{
    return u"文件名"_s + base + u"少于或等于"_s + QString::number(count) +
           u"位\r\n不能删除文件名中的字符！\r\n文件将保留原文件名！"_s;
}

QString unreadableDocumentMessage(const QString& path)
{
    return u"无法读取引用文档："_s + QDir::toNativeSeparators(path) +
           u"\r\n请在这个文本文档中每行写一个新文件名（不写扩展名）：第1行是列表中第1个文件的新名字，第2行是第2个文件的，依此类推。"_s;
}

QString defaultReferenceDocument(const Platform::AppPaths& paths)
{
    const QString name = u"新文件名引用文档.txt"_s;
    const QString path = paths.dataFolder() + u'/' + name;
    if (Platform::PathExists(path))
        return path;
    const QString shipped = paths.programFile(name);
    Platform::makeFolder(paths.dataFolder());
    if (shipped != path && Platform::PathExists(shipped))
        Platform::copyFile(shipped, path, false);
    else
        Platform::writeFileAtomically(path, QByteArray());
    return path;
}

NewNameResult FillNewName(const QStringList& names, RenameMethod method, const RenameOptions& options)
{
    NewNameResult result;
    switch (method) {
    case RenameMethod::Numbering:
        result.names = numbering(names, options.numbering);
        break;
    case RenameMethod::DeleteCharacters:
        result.names = deleteCharacters(names, options.deleteCharacters, result.messages);
        break;
    case RenameMethod::PrefixSuffix:
        result.names = prefixSuffix(names, options.prefixSuffix);
        break;
    case RenameMethod::Replace:
        result.names = replace(names, options.replace);
        break;
    case RenameMethod::Extension:
        result.names = extension(names, options.extension);
        break;
    case RenameMethod::Split:
        result.names = split(names, options.split);
        break;
    case RenameMethod::ReferenceDocument:
        result.names = referenceDocument(names, options.referenceDocument, result.messages,
                                         result.documentUnreadable);
        break;
    case RenameMethod::LetterCase:
        result.names = letterCase(names, options.letterCase);
        break;
    case RenameMethod::Attributes:
        result.names = unchanged(names);
        break;
    case RenameMethod::Workbook:
        break;
    }
    return result;
}

} // namespace Rename
