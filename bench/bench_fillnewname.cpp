// Times FillNewName for every method over the largest listing (32767 names) and
// prints the median of several runs per method.

#include "platform/GbkText.h"
#include "rename/FillNewName.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace Rename;

namespace {

constexpr int nameCount = 32767;
constexpr int runs = 9;

// A GB2312 level-1 character picked at random.
QString chineseCharacter(QRandomGenerator& random)
{
    QByteArray bytes;
    const int lead = random.bounded(0xB0, 0xD8);
    const int trail = random.bounded(0xA1, lead == 0xD7 ? 0xFA : 0xFF);
    bytes.append(char(lead)).append(char(trail));
    return Platform::decodeGbk(bytes);
}

struct Case
{
    QString label;
    RenameMethod method;
    std::function<void(RenameOptions&)> setup;
    const QStringList* names;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QRandomGenerator random(20110430);

    QStringList plain;
    QStringList chinese;
    plain.reserve(nameCount);
    chinese.reserve(nameCount);
    for (int k = 0; k < nameCount; ++k) {
        plain.append(u"Photo-%1 holiday_%2 copy.JPG"_s.arg(2000 + k % 25).arg(k, 5, 10, QChar(u'0')));
        QString name;
        for (int c = 0; c < 20; ++c)
            name += chineseCharacter(random);
        chinese.append(name + u"_"_s + QString::number(k) + u".TXT"_s);
    }

    QTemporaryDir dir;
    QStringList lines;
    for (int k = 0; k < nameCount; ++k)
        lines.append(u"第%1章 引用名称"_s.arg(k));
    const QString document = dir.filePath(u"新文件名引用文档.txt"_s);
    {
        QFile file(document);
        if (!file.open(QIODevice::WriteOnly) || file.write(Platform::gbkLinesBytes(lines)) < 0)
            return 1;
    }

    const QList<Case> cases{
        {u"0 自动编号"_s, RenameMethod::Numbering,
         [](RenameOptions& o) {
             o.numbering.ChkBF = true;
             o.numbering.OptBF = 0;
         },
         &plain},
        {u"1 删除字符"_s, RenameMethod::DeleteCharacters,
         [](RenameOptions& o) { o.deleteCharacters.TxtNumDel[0] = u"6"_s; }, &plain},
        {u"2 添加前后缀"_s, RenameMethod::PrefixSuffix,
         [](RenameOptions& o) {
             o.prefixSuffix.ChkTJ = {true, true};
             o.prefixSuffix.TxtFB = {u"new_"_s, u"_v2"_s};
         },
         &plain},
        {u"3 替换字符"_s, RenameMethod::Replace,
         [](RenameOptions& o) {
             o.replace.TxtFind = u"o"_s;
             o.replace.TxtRep = u"0"_s;
         },
         &plain},
        {u"4 修改扩展名"_s, RenameMethod::Extension,
         [](RenameOptions& o) { o.extension.TxtExt = u".jpeg"_s; }, &plain},
        {u"5 分割文件名"_s, RenameMethod::Split,
         [](RenameOptions& o) {
             o.split.SplitSeparator = u"-"_s;
             o.split.SplitMode = 2;
         },
         &plain},
        {u"6 引用文档"_s, RenameMethod::ReferenceDocument,
         [&](RenameOptions& o) {
             o.referenceDocument.ReferenceDocumentPath = document;
             o.referenceDocument.ChkBack = true;
         },
         &plain},
        {u"7 大小写"_s, RenameMethod::LetterCase, [](RenameOptions& o) { o.letterCase.OptZH = 2; }, &plain},
        {u"7 汉字转拼音 (20 字)"_s, RenameMethod::LetterCase,
         [](RenameOptions& o) {
             o.letterCase.OptZH = 2;
             o.letterCase.ChkPY = true;
         },
         &chinese},
        {u"8 更改属性"_s, RenameMethod::Attributes, [](RenameOptions&) {}, &plain},
    };

    QTextStream out(stdout);
    out << "| method | names | median ms | min ms | max ms |\n|---|---|---|---|---|\n";
    for (const Case& c : cases) {
        RenameOptions options;
        c.setup(options);
        QList<double> times;
        qsizetype produced = 0;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            const NewNameResult result = FillNewName(*c.names, c.method, options);
            times.append(timer.nsecsElapsed() / 1e6);
            produced = result.names.size();
        }
        if (produced != c.names->size())
            return 2;
        std::sort(times.begin(), times.end());
        out << "| " << c.label << " | " << produced << " | " << QString::number(times[runs / 2], 'f', 1)
            << " | " << QString::number(times.first(), 'f', 1) << " | "
            << QString::number(times.last(), 'f', 1) << " |\n";
    }
    return 0;
}
