#include "rename/FillNewName.h"

#include "TempTree.h"
#include "platform/GbkText.h"

#include <QTest>

#include <functional>

using namespace Qt::Literals::StringLiterals;
using namespace Rename;

using Setup = std::function<void(RenameOptions&)>;
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(Rename::RenameMethod)

namespace {

Setup design()
{
    return [](RenameOptions&) {};
}

void addRow(const char* name, RenameMethod method, Setup setup, const QStringList& names,
            const QStringList& expected)
{
    QTest::newRow(name) << method << setup << names << expected;
}

} // namespace

class TestFillNewName : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyListingGivesNothing_data();
    void emptyListingGivesNothing();
    void workbookTabComputesNothing();
    void newNames_data();
    void newNames();
    void tooShortToDeleteIsToldOncePerComputation();
    void noMessageWhenEveryNameIsLongEnough();
    void referenceDocument_data();
    void referenceDocument();
    void referenceDocumentWithoutPathComputesNothing();
    void unreadableReferenceDocumentIsReported_data();
    void unreadableReferenceDocumentIsReported();
    void referenceDocumentIsReadAtEveryComputation();
};

void TestFillNewName::emptyListingGivesNothing_data()
{
    QTest::addColumn<int>("method");
    for (int m = 0; m <= 9; ++m)
        QTest::addRow("method %d", m) << m;
}

void TestFillNewName::emptyListingGivesNothing()
{
    QFETCH(int, method);
    TempTree tree;
    RenameOptions options;
    options.referenceDocument.ReferenceDocumentPath = tree.file(u"missing.txt"_s);
    options.deleteCharacters.TxtNumDel[0] = u"5"_s;
    const NewNameResult result = FillNewName({}, RenameMethod(method), options);
    QVERIFY(result.names.isEmpty());
    QVERIFY(result.messages.isEmpty());
}

void TestFillNewName::workbookTabComputesNothing()
{
    const NewNameResult result = FillNewName({u"a.txt"_s, u"b.txt"_s}, RenameMethod::Workbook, {});
    QVERIFY(result.names.isEmpty());
    QVERIFY(result.messages.isEmpty());
}

void TestFillNewName::newNames_data()
{
    QTest::addColumn<RenameMethod>("method");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");

    using M = RenameMethod;
    const QStringList ab{u"a.txt"_s, u"b.JPG"_s};

    // Automatic numbering.
    addRow("number: design values", M::Numbering, design(), ab, {u"360430001.txt"_s, u"360430002.jpg"_s});
    addRow("number: old name before", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkBF = true;
               o.numbering.OptBF = 0;
           },
           {u"photo.JPG"_s}, {u"photo360430001.jpg"_s});
    addRow("number: old name after", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkBF = true;
               o.numbering.OptBF = 1;
           },
           {u"photo.JPG"_s}, {u"360430001photo.jpg"_s});
    addRow("number: keep ticked, no side chosen", M::Numbering,
           [](RenameOptions& o) { o.numbering.ChkBF = true; }, {u"photo.JPG"_s}, {u"360430001.jpg"_s});
    addRow("number: side without the keep tick is ignored", M::Numbering,
           [](RenameOptions& o) { o.numbering.OptBF = 0; }, {u"photo.JPG"_s}, {u"360430001.jpg"_s});
    addRow("number: old name of a trimmed name", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkBF = true;
               o.numbering.OptBF = 0;
           },
           {u"  b.doc "_s}, {u"b360430001.doc"_s});
    addRow("number: digit count 0", M::Numbering, [](RenameOptions& o) { o.numbering.TxtQH[2] = u"0"_s; }, ab,
           {u"3604301.txt"_s, u"3604302.jpg"_s});
    addRow("number: empty digit count", M::Numbering,
           [](RenameOptions& o) { o.numbering.TxtQH[2] = QString(); }, ab,
           {u"3604301.txt"_s, u"3604302.jpg"_s});
    addRow("number: never cut", M::Numbering, [](RenameOptions& o) { o.numbering.TxtQH[4] = u"1000"_s; },
           {u"a.txt"_s}, {u"3604301000.txt"_s});
    addRow("number: increment 0", M::Numbering, [](RenameOptions& o) { o.numbering.TxtQH[3] = u"0"_s; },
           {u"a.txt"_s, u"b.txt"_s}, {u"360430001.txt"_s, u"360430001.txt"_s});
    addRow("number: negative increment", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkQH[0] = false;
               o.numbering.TxtQH[3] = u"-1"_s;
           },
           {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u"d.txt"_s},
           {u"001.txt"_s, u"000.txt"_s, u"-001.txt"_s, u"-002.txt"_s});
    addRow("number: bare numbers", M::Numbering, [](RenameOptions& o) { o.numbering.ChkQH[0] = false; }, ab,
           {u"001.txt"_s, u"002.jpg"_s});
    addRow("number: prefix and suffix trimmed", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.TxtQH[0] = u" ab "_s;
               o.numbering.ChkQH[1] = true;
               o.numbering.TxtQH[1] = u"  x"_s;
           },
           {u"a.txt"_s}, {u"ab001x.txt"_s});
    addRow("number: suffix text unused while unticked", M::Numbering,
           [](RenameOptions& o) { o.numbering.TxtQH[1] = u"zz"_s; }, {u"a.txt"_s}, {u"360430001.txt"_s});
    addRow("number: empty start box", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.TxtQH[4] = QString();
               o.numbering.TxtQH[3] = u"5"_s;
           },
           {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s},
           {u"360430000.txt"_s, u"360430005.txt"_s, u"360430010.txt"_s});
    addRow("number: start with leading zeros", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.TxtQH[4] = u"007"_s;
               o.numbering.TxtQH[2] = u"0"_s;
           },
           {u"a.txt"_s}, {u"3604307.txt"_s});
    addRow("number: digit count limited to 255", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkQH[0] = false;
               o.numbering.TxtQH[2] = u"99999"_s;
           },
           {u"a"_s}, {QString(254, u'0') + u"1"_s});
    addRow("number: negative digit count", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkQH[0] = false;
               o.numbering.TxtQH[2] = u"-3"_s;
           },
           {u"a"_s, u"b"_s}, {u"1"_s, u"2"_s});
    addRow("number: increment limited to 16 bits", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkQH[0] = false;
               o.numbering.TxtQH[2] = u"0"_s;
               o.numbering.TxtQH[3] = u"99999"_s;
           },
           {u"a"_s, u"b"_s}, {u"1"_s, u"32768"_s});
    addRow("number: increment limited below", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkQH[0] = false;
               o.numbering.TxtQH[2] = u"0"_s;
               o.numbering.TxtQH[3] = u"-40000"_s;
           },
           {u"a"_s, u"b"_s}, {u"1"_s, u"-32767"_s});
    addRow("number: no extension", M::Numbering, design(), {u"README"_s}, {u"360430001"_s});
    addRow("number: start at the 64-bit limit stays there", M::Numbering,
           [](RenameOptions& o) {
               o.numbering.ChkQH[0] = false;
               o.numbering.TxtQH[4] = u"99999999999999999999"_s;
           },
           {u"a"_s, u"b"_s}, {u"9223372036854775807"_s, u"9223372036854775807"_s});

    // Deleting characters.
    addRow("delete: 2 from the start", M::DeleteCharacters,
           [](RenameOptions& o) { o.deleteCharacters.TxtNumDel[0] = u"2"_s; }, {u"abcdef.TXT"_s},
           {u"cdef.txt"_s});
    addRow("delete: 2 from the end", M::DeleteCharacters,
           [](RenameOptions& o) {
               o.deleteCharacters.OptDel = 1;
               o.deleteCharacters.TxtNumDel[1] = u"2"_s;
           },
           {u"abcdef.TXT"_s}, {u"abcd.txt"_s});
    addRow("delete: the selected side's box counts", M::DeleteCharacters,
           [](RenameOptions& o) {
               o.deleteCharacters.OptDel = 1;
               o.deleteCharacters.TxtNumDel[0] = u"3"_s;
               o.deleteCharacters.TxtNumDel[1] = u"1"_s;
           },
           {u"abcdef.TXT"_s}, {u"abcde.txt"_s});
    addRow("delete: count 0", M::DeleteCharacters,
           [](RenameOptions& o) { o.deleteCharacters.TxtNumDel[0] = u"0"_s; }, {u"abcdef.TXT"_s},
           {u"abcdef.txt"_s});
    addRow("delete: empty count", M::DeleteCharacters, design(), {u"abcdef.TXT"_s}, {u"abcdef.txt"_s});
    addRow("delete: count equal to the length", M::DeleteCharacters,
           [](RenameOptions& o) { o.deleteCharacters.TxtNumDel[0] = u"6"_s; }, {u"abcdef.TXT"_s},
           {u"abcdef.TXT"_s});
    addRow("delete: without extension", M::DeleteCharacters,
           [](RenameOptions& o) {
               o.deleteCharacters.OptDel = 1;
               o.deleteCharacters.TxtNumDel[1] = u"2"_s;
           },
           {u"README"_s}, {u"READ"_s});
    addRow("delete: chinese characters count one each", M::DeleteCharacters,
           [](RenameOptions& o) { o.deleteCharacters.TxtNumDel[0] = u"2"_s; }, {u"报告文件.doc"_s},
           {u"文件.doc"_s});
    addRow("delete: a character outside the BMP is one", M::DeleteCharacters,
           [](RenameOptions& o) { o.deleteCharacters.TxtNumDel[0] = u"2"_s; }, {u"a😀b.txt"_s}, {u"b.txt"_s});
    addRow("delete: from the end keeps pairs whole", M::DeleteCharacters,
           [](RenameOptions& o) {
               o.deleteCharacters.OptDel = 1;
               o.deleteCharacters.TxtNumDel[1] = u"1"_s;
           },
           {u"a😀b.txt"_s}, {u"a😀.txt"_s});
    addRow("delete: negative count deletes nothing", M::DeleteCharacters,
           [](RenameOptions& o) { o.deleteCharacters.TxtNumDel[0] = u"-2"_s; }, {u"abcdef.TXT"_s},
           {u"abcdef.txt"_s});
    addRow("delete: trimmed name", M::DeleteCharacters,
           [](RenameOptions& o) { o.deleteCharacters.TxtNumDel[0] = u"1"_s; }, {u"  abc.TXT "_s},
           {u"bc.txt"_s});

    // Prefix and suffix.
    addRow("affix: prefix trimmed", M::PrefixSuffix,
           [](RenameOptions& o) { o.prefixSuffix.TxtFB[0] = u"  new_ "_s; }, {u"a.Doc"_s}, {u"new_a.doc"_s});
    addRow("affix: suffix alone", M::PrefixSuffix,
           [](RenameOptions& o) {
               o.prefixSuffix.ChkTJ = {false, true};
               o.prefixSuffix.TxtFB = {u"new_"_s, u"_v2"_s};
           },
           {u"a.Doc"_s}, {u"a_v2.doc"_s});
    addRow("affix: both", M::PrefixSuffix,
           [](RenameOptions& o) {
               o.prefixSuffix.ChkTJ = {true, true};
               o.prefixSuffix.TxtFB = {u"new_"_s, u"_v2"_s};
           },
           {u"a.Doc"_s}, {u"new_a_v2.doc"_s});
    addRow("affix: old name dropped", M::PrefixSuffix,
           [](RenameOptions& o) {
               o.prefixSuffix.ChkDelName = true;
               o.prefixSuffix.TxtFB[0] = u"x"_s;
           },
           {u"a.txt"_s, u"b.TXT"_s, u"c.doc"_s}, {u"x.txt"_s, u"x.txt"_s, u"x.doc"_s});
    addRow("affix: nothing ticked", M::PrefixSuffix,
           [](RenameOptions& o) {
               o.prefixSuffix.ChkTJ = {false, false};
               o.prefixSuffix.TxtFB = {u"p"_s, u"s"_s};
           },
           {u"a.Doc"_s}, {u"a.doc"_s});

    // Replacing text.
    const QStringList banana{u"banana.TXT"_s};
    const auto replacing = [](const QString& find, const QString& rep) -> Setup {
        return [=](RenameOptions& o) {
            o.replace.TxtFind = find;
            o.replace.TxtRep = rep;
        };
    };
    addRow("replace: every occurrence", M::Replace, replacing(u"a"_s, u"b"_s), banana, {u"bbnbnb.txt"_s});
    addRow("replace: with nothing", M::Replace, replacing(u"an"_s, QString()), banana, {u"ba.txt"_s});
    addRow("replace: letter case matters", M::Replace, replacing(u"A"_s, u"b"_s), {u"banana.txt"_s},
           {u"banana.txt"_s});
    addRow("replace: only spaces finds nothing", M::Replace, replacing(u"   "_s, u"_"_s), {u"a b.txt"_s},
           {u"a b.txt"_s});
    addRow("replace: the extension is never searched", M::Replace, replacing(u"txt"_s, u"doc"_s),
           {u"a.txt"_s}, {u"a.txt"_s});
    addRow("replace: texts trimmed", M::Replace, replacing(u" a "_s, u" o "_s), banana, {u"bonono.txt"_s});
    addRow("replace: no overlap", M::Replace, replacing(u"aa"_s, u"b"_s), {u"aaa.txt"_s}, {u"ba.txt"_s});
    addRow("replace: result not searched again", M::Replace, replacing(u"a"_s, u"aa"_s), {u"ab.txt"_s},
           {u"aab.txt"_s});
    addRow("replace: empty find", M::Replace, replacing(QString(), u"x"_s), {u"ab.TXT"_s}, {u"ab.txt"_s});

    // New extension.
    const auto extension = [](const QString& ext) -> Setup {
        return [=](RenameOptions& o) { o.extension.TxtExt = ext; };
    };
    addRow("ext: new extension", M::Extension, extension(u".jpeg"_s), {u"a.JPG"_s}, {u"a.jpeg"_s});
    addRow("ext: case kept", M::Extension, extension(u".JPEG"_s), {u"a.JPG"_s}, {u"a.JPEG"_s});
    addRow("ext: empty removes it", M::Extension, extension(QString()), {u"a.JPG"_s}, {u"a"_s});
    addRow("ext: lone dot", M::Extension, extension(u"."_s), {u"a.JPG"_s}, {u"a."_s});
    addRow("ext: added to a name without one", M::Extension, extension(u".txt"_s), {u"README"_s},
           {u"README.txt"_s});
    addRow("ext: last part only", M::Extension, extension(u".zip"_s), {u"archive.tar.gz"_s},
           {u"archive.tar.zip"_s});
    addRow("ext: not trimmed", M::Extension, extension(u". x "_s), {u"a.JPG"_s}, {u"a. x "_s});

    // Splitting at a separator.
    const auto splitting = [](const QString& sep, int mode, bool dropSep, bool trim) -> Setup {
        return [=](RenameOptions& o) {
            o.split.SplitSeparator = sep;
            o.split.SplitMode = mode;
            o.split.ChkFG = {dropSep, trim};
        };
    };
    const QStringList abc{u"abc-def-ghi.TXT"_s};
    addRow("split: before, separator dropped", M::Split, splitting(u"-"_s, 0, true, false), abc,
           {u"abc.txt"_s});
    addRow("split: before, separator kept", M::Split, splitting(u"-"_s, 0, false, false), abc,
           {u"abc-.txt"_s});
    addRow("split: after, separator dropped", M::Split, splitting(u"-"_s, 1, true, false), abc,
           {u"def-ghi.txt"_s});
    addRow("split: after, separator kept", M::Split, splitting(u"-"_s, 1, false, false), abc,
           {u"-def-ghi.txt"_s});
    addRow("split: swapped", M::Split, splitting(u"-"_s, 2, false, false), abc, {u"def-ghi-abc.txt"_s});
    addRow("split: swapped ignores the ticks", M::Split, splitting(u"-"_s, 2, true, true), {u"a - b.txt"_s},
           {u" b-a .txt"_s});
    addRow("split: spaces trimmed", M::Split, splitting(u"-"_s, 0, true, true), {u"a - b.txt"_s},
           {u"a.txt"_s});
    addRow("split: spaces kept", M::Split, splitting(u"-"_s, 0, true, false), {u"a - b.txt"_s},
           {u"a .txt"_s});
    addRow("split: after, spaces trimmed", M::Split, splitting(u"-"_s, 1, true, true), {u"a - b.txt"_s},
           {u"b.txt"_s});
    addRow("split: separator missing", M::Split, splitting(u"-"_s, 0, true, false), {u"ABC.TXT"_s},
           {u"ABC.TXT"_s});
    addRow("split: separator only in the extension", M::Split, splitting(u"-"_s, 1, true, false),
           {u"abc.T-XT"_s}, {u"abc.T-XT"_s});
    addRow("split: empty base", M::Split, splitting(u"-"_s, 0, true, false), {u".pro-file"_s},
           {u".pro-file"_s});
    addRow("split: letter case matters", M::Split, splitting(u"x"_s, 0, true, false), {u"aXb.TXT"_s},
           {u"aXb.TXT"_s});
    addRow("split: longer separator", M::Split, splitting(u"--"_s, 1, false, false), {u"a-b--c.TXT"_s},
           {u"--c.txt"_s});
    addRow("split: no separator yet, before", M::Split, splitting(QString(), 0, true, true), {u"ab .TXT"_s},
           {u"ab.txt"_s});
    addRow("split: no separator yet, after", M::Split, splitting(QString(), 1, true, true), {u"ab .TXT"_s},
           {u"ab .TXT"_s});
    addRow("split: no separator yet, swapped", M::Split, splitting(QString(), 2, true, true), {u"ab.TXT"_s},
           {u"ab.TXT"_s});

    // Letter case and pinyin.
    const auto casing = [](int option, bool pinyin, bool strip) -> Setup {
        return [=](RenameOptions& o) {
            o.letterCase.OptZH = option;
            o.letterCase.ChkPY = pinyin;
            o.letterCase.PinyinStripSpaces = strip;
        };
    };
    addRow("case: design values", M::LetterCase, design(), {u"MyFile.TXT"_s}, {u"myfile.txt"_s});
    addRow("case: upper", M::LetterCase, casing(0, false, false), {u"MyFile.TXT"_s}, {u"MYFILE.txt"_s});
    addRow("case: first letters", M::LetterCase, casing(2, false, false),
           {u"hello world.TXT"_s, u"HELLO.txt"_s, u"hello-world.txt"_s},
           {u"Hello World.txt"_s, u"Hello.txt"_s, u"Hello-world.txt"_s});
    addRow("case: pinyin lower", M::LetterCase, casing(1, true, false), {u"张三.txt"_s}, {u"zhangsan.txt"_s});
    addRow("case: pinyin upper", M::LetterCase, casing(0, true, false), {u"张三.txt"_s}, {u"ZHANGSAN.txt"_s});
    addRow("case: pinyin first letter joins syllables", M::LetterCase, casing(2, true, false),
           {u"张三.txt"_s}, {u"Zhangsan.txt"_s});
    addRow("case: pinyin first letter with a space", M::LetterCase, casing(2, true, false), {u"张 三.txt"_s},
           {u"Zhang San.txt"_s});
    addRow("case: pinyin first letter, spaces dropped", M::LetterCase, casing(2, true, true),
           {u"张 三.txt"_s}, {u"Zhangsan.txt"_s});
    addRow("case: pinyin mixed text", M::LetterCase, casing(1, true, false), {u"报告Final.DOC"_s},
           {u"baogaofinal.doc"_s});
    addRow("case: character outside the table", M::LetterCase, casing(1, true, false), {u"亍a.txt"_s},
           {u" a.txt"_s});
    addRow("case: outside the table, spaces dropped", M::LetterCase, casing(1, true, true), {u"亍a.txt"_s},
           {u"a.txt"_s});
    addRow("case: dropping spaces needs pinyin", M::LetterCase, casing(1, false, true), {u"a b.TXT"_s},
           {u"a b.txt"_s});

    // Attributes: names stay as listed, trimmed.
    addRow("attributes: names unchanged", M::Attributes, design(), {u"  A.TXT"_s, u"b"_s},
           {u"A.TXT"_s, u"b"_s});
}

void TestFillNewName::newNames()
{
    QFETCH(RenameMethod, method);
    QFETCH(Setup, setup);
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    RenameOptions options;
    setup(options);
    const NewNameResult result = FillNewName(names, method, options);
    QCOMPARE(result.names, expected);
    if (method != RenameMethod::DeleteCharacters)
        QVERIFY(result.messages.isEmpty());
}

void TestFillNewName::tooShortToDeleteIsToldOncePerComputation()
{
    RenameOptions options;
    options.deleteCharacters.TxtNumDel[0] = u"6"_s;
    const QStringList names{u"abcdef.TXT"_s, u"longer_name.txt"_s, u"ab.Doc"_s, u"xyz"_s};
    for (int computation = 0; computation < 2; ++computation) {
        const NewNameResult result = FillNewName(names, RenameMethod::DeleteCharacters, options);
        QCOMPARE(result.names, (QStringList{u"abcdef.TXT"_s, u"_name.txt"_s, u"ab.Doc"_s, u"xyz"_s}));
        QCOMPARE(result.messages.size(), 1);
        const Platform::MessageRequest& m = result.messages.first();
        QCOMPARE(m.text, u"文件名abcdef少于或等于6位\r\n不能删除文件名中的字符！\r\n文件将保留原文件名！"_s);
        QCOMPARE(m.title, QString());
        QCOMPARE(m.icon, Platform::MessageIcon::None);
        QCOMPARE(m.buttons, Platform::MessageButtons::Ok);
    }
}

void TestFillNewName::noMessageWhenEveryNameIsLongEnough()
{
    RenameOptions options;
    options.deleteCharacters.OptDel = 1;
    options.deleteCharacters.TxtNumDel[1] = u"2"_s;
    const NewNameResult result =
        FillNewName({u"abc.txt"_s, u"defg"_s}, RenameMethod::DeleteCharacters, options);
    QCOMPARE(result.names, (QStringList{u"a.txt"_s, u"de"_s}));
    QVERIFY(result.messages.isEmpty());
}

void TestFillNewName::referenceDocument_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("fore");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");

    const QStringList ab{u"a.TXT"_s, u"b.doc"_s};
    const QByteArray alphaBeta = Platform::gbkLinesBytes({u"Alpha"_s, u"Beta"_s});
    QTest::newRow("line k names file k")
        << alphaBeta << false << false << ab << QStringList{u"Alpha.txt"_s, u"Beta.doc"_s};
    QTest::newRow("old name before") << alphaBeta << true << false << ab
                                     << QStringList{u"aAlpha.txt"_s, u"bBeta.doc"_s};
    QTest::newRow("old name after") << alphaBeta << false << true << ab
                                    << QStringList{u"Alphaa.txt"_s, u"Betab.doc"_s};
    QTest::newRow("extra lines ignored")
        << Platform::gbkLinesBytes({u"Alpha"_s, u"Beta"_s, u"Gamma"_s}) << false << false << ab
        << QStringList{u"Alpha.txt"_s, u"Beta.doc"_s};
    QTest::newRow("empty line") << Platform::gbkLinesBytes({QString(), u"Beta"_s}) << false << false << ab
                                << QStringList{u".txt"_s, u"Beta.doc"_s};
    QTest::newRow("empty line, old name kept") << Platform::gbkLinesBytes({QString(), u"Beta"_s}) << false
                                               << true << ab << QStringList{u"a.txt"_s, u"Betab.doc"_s};
    QTest::newRow("spaces are part of the line") << Platform::gbkLinesBytes({u"  Alpha "_s}) << false << false
                                                 << QStringList{u"a.TXT"_s} << QStringList{u"  Alpha .txt"_s};
    QTest::newRow("chinese lines in GBK") << Platform::gbkLinesBytes({u"报告"_s, u"第二章"_s}) << false
                                          << false << ab << QStringList{u"报告.txt"_s, u"第二章.doc"_s};
    QTest::newRow("lone CR ends a line")
        << QByteArray("Alpha\rBeta") << false << false << ab << QStringList{u"Alpha.txt"_s, u"Beta.doc"_s};
    QTest::newRow("lone LF ends a line")
        << QByteArray("Alpha\nBeta\n") << false << false << ab << QStringList{u"Alpha.txt"_s, u"Beta.doc"_s};
    QTest::newRow("CR CR LF is an empty line")
        << QByteArray("Alpha\r\r\nBeta") << false << false << QStringList{u"a.TXT"_s, u"b.doc"_s, u"c.doc"_s}
        << QStringList{u"Alpha.txt"_s, u".doc"_s, u"Beta.doc"_s};
    QTest::newRow("files beyond the last line keep their names")
        << Platform::gbkLinesBytes({u"Alpha"_s}) << false << false
        << QStringList{u"a.TXT"_s, u" b.DOC "_s, u"c"_s} << QStringList{u"Alpha.txt"_s, u"b.DOC"_s, u"c"_s};
    QTest::newRow("empty document") << QByteArray() << false << false << ab
                                    << QStringList{u"a.TXT"_s, u"b.doc"_s};
}

void TestFillNewName::referenceDocument()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, fore);
    QFETCH(bool, back);
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    TempTree tree;
    RenameOptions options;
    options.referenceDocument.ReferenceDocumentPath = tree.write(u"新文件名引用文档.txt"_s, document);
    options.referenceDocument.ChkFore = fore;
    options.referenceDocument.ChkBack = back;
    const NewNameResult result = FillNewName(names, RenameMethod::ReferenceDocument, options);
    QCOMPARE(result.names, expected);
    QVERIFY(result.messages.isEmpty());
}

void TestFillNewName::referenceDocumentWithoutPathComputesNothing()
{
    const NewNameResult result = FillNewName({u"a.txt"_s}, RenameMethod::ReferenceDocument, {});
    QVERIFY(result.names.isEmpty());
    QVERIFY(result.messages.isEmpty());
}

void TestFillNewName::unreadableReferenceDocumentIsReported_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("folder");
    QTest::newRow("missing") << u"不存在.txt"_s << false;
    QTest::newRow("a folder") << u"folder.txt"_s << true;
}

void TestFillNewName::unreadableReferenceDocumentIsReported()
{
    QFETCH(QString, relative);
    QFETCH(bool, folder);
    TempTree tree;
    const QString path = folder ? tree.mkdir(relative) : tree.file(relative);
    RenameOptions options;
    options.referenceDocument.ReferenceDocumentPath = path;
    const NewNameResult result =
        FillNewName({u"a.txt"_s, u"b.txt"_s}, RenameMethod::ReferenceDocument, options);
    QVERIFY(result.names.isEmpty());
    QCOMPARE(result.messages.size(), 1);
    QVERIFY(result.documentUnreadable);
    // The message names the full path and what belongs in the document.
    const QString text = result.messages.first().text;
    QVERIFY2(text.startsWith(u"无法读取引用文档："_s + path + u"\r\n"_s), qPrintable(text));
    QVERIFY2(text.contains(u"每行写一个新文件名"_s), qPrintable(text));
    QCOMPARE(result.messages.first().icon, Platform::MessageIcon::Warning);
    QCOMPARE(result.messages.first().buttons, Platform::MessageButtons::Ok);
}

void TestFillNewName::referenceDocumentIsReadAtEveryComputation()
{
    TempTree tree;
    RenameOptions options;
    options.referenceDocument.ReferenceDocumentPath = tree.write(u"names.txt"_s, "One\r\nTwo\r\n");
    const QStringList names{u"a.txt"_s, u"b.txt"_s};
    QCOMPARE(FillNewName(names, RenameMethod::ReferenceDocument, options).names,
             (QStringList{u"One.txt"_s, u"Two.txt"_s}));
    tree.write(u"names.txt"_s, "Uno\r\nDos\r\n");
    QCOMPARE(FillNewName(names, RenameMethod::ReferenceDocument, options).names,
             (QStringList{u"Uno.txt"_s, u"Dos.txt"_s}));
}

QTEST_GUILESS_MAIN(TestFillNewName)
#include "tst_fillnewname.moc"
