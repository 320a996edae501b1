#include "rename/Pinyin.h"

#include "platform/GbkText.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace Rename;

class TestPinyin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tableHoldsTheListedSyllables();
    void characterCodes_data();
    void characterCodes();
    void pinyinOfChar_data();
    void pinyinOfChar();
    void everySyllableStartsAtItsCode();
    void toPinyin_data();
    void toPinyin();
    void knownReadings_data();
    void knownReadings();
};

void TestPinyin::tableHoldsTheListedSyllables()
{
    const auto& table = LoadPinyinTable();
    QCOMPARE(table.size(), std::size_t(396));
    QCOMPARE(&table, &PinyinTable);
    const auto find = [&](const char* syllable) {
        for (const PinyinEntry& e : table)
            if (qstrcmp(e.syllable, syllable) == 0)
                return e.code;
        return -1;
    };
    QCOMPARE(find("a"), 0xB0A1);
    QCOMPARE(find("lv"), 0xC2BF);
    QCOMPARE(find("lue"), 0xC2D3);
    QCOMPARE(find("nv"), 0xC5AE);
    QCOMPARE(find("nue"), 0xC5B0);
    QCOMPARE(find("zhuang"), 0xD7AE);
    QCOMPARE(find("zuo"), 0xD7F2);
    QCOMPARE(table.back().code, 0xD7F2);
    // Syllables are lower-case ASCII and appear once each.
    QSet<QByteArray> seen;
    for (const PinyinEntry& e : table) {
        const QByteArray s(e.syllable);
        QVERIFY2(!s.isEmpty() && s == s.toLower(), e.syllable);
        for (char c : s)
            QVERIFY2(c >= 'a' && c <= 'z', e.syllable);
        QVERIFY2(!seen.contains(s), e.syllable);
        seen.insert(s);
    }
}

void TestPinyin::characterCodes_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("code");
    QTest::newRow("ascii letter") << u"a"_s << 0x61;
    QTest::newRow("nul") << QString(QChar(0)) << 0;
    QTest::newRow("zhang") << u"张"_s << 0xD5C5;
    QTest::newRow("first level-1") << u"啊"_s << 0xB0A1;
    QTest::newRow("last level-1") << u"座"_s << 0xD7F9;
    QTest::newRow("first level-2") << u"亍"_s << 0xD8A1;
    QTest::newRow("euro") << u"€"_s << 0x80;
    QTest::newRow("full-width comma") << u"，"_s << 0xA3AC;
    QTest::newRow("not in GBK") << u"한"_s << 63;
    QTest::newRow("question mark") << u"?"_s << 63;
}

void TestPinyin::characterCodes()
{
    QFETCH(QString, character);
    QFETCH(int, code);
    QCOMPARE(characterCode(character.at(0).unicode()), code);
}

void TestPinyin::pinyinOfChar_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("strip");
    QTest::addColumn<QString>("piece");
    QTest::newRow("first level-1") << 0xB0A1 << 2 << false << u"a"_s;
    QTest::newRow("last level-1") << 0xD7F9 << 2 << false << u"zuo"_s;
    QTest::newRow("between entries takes the lower") << 0xD5C6 << 2 << false << u"zhang"_s;
    QTest::newRow("upper") << 0xD5C5 << 1 << false << u"ZHANG"_s;
    QTest::newRow("first letter") << 0xD5C5 << 3 << false << u"Zhang"_s;
    QTest::newRow("first level-2 is a space") << 0xD8A1 << 2 << false << u" "_s;
    QTest::newRow("level-2 stripped") << 0xD8A1 << 2 << true << QString();
    QTest::newRow("symbol area") << 0xA3AC << 2 << false << u" "_s;
    QTest::newRow("just below level-1") << 0xB0A0 << 2 << false << u" "_s;
    QTest::newRow("GBK-only trail byte in range") << 0xD566 << 2 << false << u" "_s;
    QTest::newRow("code 0") << 0 << 2 << false << u" "_s;
    QTest::newRow("ascii letter kept") << 0x41 << 2 << false << u"a"_s;
    QTest::newRow("single letter first-letter mode") << 0x61 << 3 << false << u"A"_s;
    QTest::newRow("digit") << 0x37 << 1 << false << u"7"_s;
    QTest::newRow("space") << 0x20 << 2 << false << u" "_s;
    QTest::newRow("space stripped") << 0x20 << 2 << true << QString();
    QTest::newRow("letter unaffected by strip") << 0x62 << 2 << true << u"b"_s;
    QTest::newRow("euro passes") << 0x80 << 1 << false << u"€"_s;
    QTest::newRow("159 passes as a lone lead byte") << 159 << 2 << false << u"?"_s;
    QTest::newRow("160 is a space") << 160 << 2 << false << u" "_s;
}

void TestPinyin::pinyinOfChar()
{
    QFETCH(int, code);
    QFETCH(int, mode);
    QFETCH(bool, strip);
    QFETCH(QString, piece);
    QCOMPARE(PinyinOfChar(code, CaseMode(mode), strip), piece);
}

void TestPinyin::everySyllableStartsAtItsCode()
{
    // The character at each listed code reads as its syllable, and the level-1
    // character just before it as the previous syllable.
    for (std::size_t i = 0; i < PinyinTable.size(); ++i) {
        const int code = PinyinTable[i].code;
        QCOMPARE(PinyinOfChar(code, CaseMode::Lower, false), QString::fromLatin1(PinyinTable[i].syllable));
        if (i == 0)
            continue;
        const int before = (code & 0xFF) == 0xA1 ? ((code >> 8) - 1) << 8 | 0xFE : code - 1;
        QCOMPARE(PinyinOfChar(before, CaseMode::Lower, false),
                 QString::fromLatin1(PinyinTable[i - 1].syllable));
        // The code is the encoding of a real character that converts the same way.
        QByteArray bytes;
        bytes.append(char(code >> 8)).append(char(code & 0xFF));
        const QString character = Platform::decodeGbk(bytes);
        QCOMPARE(character.size(), 1);
        QCOMPARE(ToPinyin(character, CaseMode::Lower, false), QString::fromLatin1(PinyinTable[i].syllable));
    }
}

void TestPinyin::toPinyin_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("strip");
    QTest::addColumn<QString>("result");
    QTest::newRow("lower") << u"张三"_s << 2 << false << u"zhangsan"_s;
    QTest::newRow("upper") << u"张三"_s << 1 << false << u"ZHANGSAN"_s;
    QTest::newRow("each syllable capitalised") << u"张三"_s << 3 << false << u"ZhangSan"_s;
    QTest::newRow("reading as filed") << u"重命名"_s << 2 << false << u"zhongmingming"_s;
    QTest::newRow("v for u-umlaut") << u"绿"_s << 2 << false << u"lv"_s;
    QTest::newRow("full-width comma") << u"张，三"_s << 2 << false << u"zhang san"_s;
    QTest::newRow("full-width comma stripped") << u"张，三"_s << 2 << true << u"zhangsan"_s;
    QTest::newRow("ascii kept") << u"a-1_B.c"_s << 2 << false << u"a-1_b.c"_s;
    QTest::newRow("ascii upper") << u"ab1"_s << 1 << false << u"AB1"_s;
    QTest::newRow("space kept") << u"张 三"_s << 2 << false << u"zhang san"_s;
    QTest::newRow("space stripped") << u"张 三"_s << 2 << true << u"zhangsan"_s;
    QTest::newRow("level-2 character") << u"亍"_s << 2 << false << u" "_s;
    QTest::newRow("level-2 stripped") << u"亍"_s << 2 << true << QString();
    QTest::newRow("GBK-only character") << u"說"_s << 2 << false << u" "_s;
    QTest::newRow("not in GBK") << u"한a"_s << 2 << false << u"?a"_s;
    QTest::newRow("outside the BMP is one character") << u"a😀b"_s << 2 << false << u"a?b"_s;
    QTest::newRow("mixed") << u"报告Final"_s << 2 << false << u"baogaofinal"_s;
    QTest::newRow("empty") << QString() << 2 << false << QString();
}

void TestPinyin::toPinyin()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    QFETCH(bool, strip);
    QFETCH(QString, result);
    QCOMPARE(ToPinyin(text, CaseMode(mode), strip), result);
}

void TestPinyin::knownReadings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reading");
    QTest::newRow("country") << u"中华人民共和国"_s << u"zhonghuarenmingongheguo"_s;
    QTest::newRow("welcome") << u"北京欢迎你"_s << u"beijinghuanyingni"_s;
    QTest::newRow("study") << u"我爱学习"_s << u"woaixuexi"_s;
    QTest::newRow("edges") << u"啊座"_s << u"azuo"_s;
    QTest::newRow("umlaut syllables") << u"女虐略绿"_s << u"nvnueluelv"_s;
    QTest::newRow("z") << u"在早怎站抓拽装追准桌字总走足钻最尊坐"_s
                       << u"zaizaozenzhanzhuazhuaizhuangzhuizhunzhuozizongzouzuzuanzuizunzuo"_s;
    QTest::newRow("o p") << u"哦欧怕拍盘胖跑配盆朋皮片票撇品平破普"_s
                         << u"ooupapaipanpangpaopeipenpengpipianpiaopiepinpingpopu"_s;
    QTest::newRow("q r") << u"七恰千桥切亲青穷秋去全却群然让绕热认扔日容肉如软瑞润弱"_s
                         << u"qiqiaqianqiaoqieqinqingqiongqiuququanquequnranrangraoreren"
                            u"rengrirongroururuanruirunruo"_s;
    QTest::newRow("s") << u"撒赛散桑扫森僧杀晒山伤少蛇身生十手书刷摔栓双水顺说思松搜苏算岁孙所"_s
                       << u"sasaisansangsaosensengshashaishanshangshaosheshenshengshishou"
                          u"shushuashuaishuanshuangshuishunshuosisongsoususuansuisunsuo"_s;
    QTest::newRow("t w") << u"他太谈汤逃特疼提天条铁听同头图团推吞托挖外完王为文翁我五"_s
                         << u"tataitantangtaotetengtitiantiaotietingtongtoututuantuituntuo"
                            u"wawaiwanwangweiwenwengwowu"_s;
    QTest::newRow("x y") << u"西下先想小写新星兄修需选雪寻压烟羊要也一因英哟用有鱼元月云"_s
                         << u"xixiaxianxiangxiaoxiexinxingxiongxiuxuxuanxuexunyayanyangyao"
                            u"yeyiyinyingyoyongyouyuyuanyueyun"_s;
    QTest::newRow("b c")
        << u"八白办帮被本崩比边表别宾病波不擦才残仓草测层茶柴产超车陈成吃虫抽出川窗吹春次从粗村错"_s
        << u"babaibanbangbeibenbengbibianbiaobiebinbingbobucacaicancangcao"
           u"cecengchachaichanchaochechenchengchichongchouchuchuanchuang"
           u"chuichuncicongcucuncuo"_s;
}

void TestPinyin::knownReadings()
{
    QFETCH(QString, text);
    QFETCH(QString, reading);
    QCOMPARE(ToPinyin(text, CaseMode::Lower, false), reading);
}

QTEST_GUILESS_MAIN(TestPinyin)
#include "tst_pinyin.moc"
