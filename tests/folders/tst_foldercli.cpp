#include "CliRunner.h"
#include "TempTree.h"

#include "platform/GbkText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

CliResult cli(const QStringList& args)
{
    return runCli(QStringLiteral(TARNWICK_CLI), args);
}

QStringList lines(const QString& text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

// `tarnwick-cli folders` driven as a user runs it.
class TestFolderCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void previewLines_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("numbering, --opt=V") << QStringList{u"--number"_s, u"--prefix=360430"_s}
                                            << QStringList{u"Feb\t360430001"_s, u"Jan\t360430002"_s};
        QTest::newRow("affix, --opt V") << QStringList{u"--affix"_s, u"--prefix"_s, u"new_"_s}
                                        << QStringList{u"Feb\tnew_Feb"_s, u"Jan\tnew_Jan"_s};
        QTest::newRow("case") << QStringList{u"--case"_s, u"upper"_s}
                              << QStringList{u"Feb\tFEB"_s, u"Jan\tJAN"_s};
        QTest::newRow("folder first")
            << QStringList{u"--folder-first"_s} << QStringList{u"Jan/IMG.JPG\tJanIMG.JPG"_s};
        QTest::newRow("folder last") << QStringList{u"--folder-last"_s}
                                     << QStringList{u"Jan/IMG.JPG\tIMGJan.jpg"_s};
    }

    void previewLines()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, expected);
        TempTree tree;
        tree.write(u"p/Jan/IMG.JPG"_s, "x");
        tree.mkdir(u"p/Feb"_s);
        const CliResult r = cli(QStringList{u"folders"_s, u"preview"_s, tree.file(u"p"_s)} + options);
        QCOMPARE(r.exitCode, 0);
        QStringList want;
        for (const QString& line : expected)
            want.append(tree.file(u"p/"_s) + line);
        QCOMPARE(lines(r.out), want);
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("unsupported method")
            << QStringList{u"preview"_s, u"P"_s, u"--ext"_s, u".x"_s}
            << u"文件夹重命名只支持：\n    自动编号\n    添加前后缀\n    汉字转拼音 \n请重新选择！"_s;
        QTest::newRow("no method") << QStringList{u"preview"_s, u"P"_s} << u"缺少重命名方法"_s;
        QTest::newRow("two modes") << QStringList{u"preview"_s, u"P"_s, u"--folder-first"_s,
                                                  u"--folder-last"_s}
                                   << u"只能选一个"_s;
        QTest::newRow("method option with a file mode")
            << QStringList{u"preview"_s, u"P"_s, u"--folder-first"_s, u"--prefix"_s, u"x"_s}
            << u"不能与重命名方法同用"_s;
        QTest::newRow("copy in mode 0")
            << QStringList{u"run"_s, u"P"_s, u"--number"_s, u"--copy"_s, u"--yes"_s} << u"--copy"_s;
        QTest::newRow("copy on preview")
            << QStringList{u"preview"_s, u"P"_s, u"--folder-first"_s, u"--copy"_s} << u"copy"_s;
        QTest::newRow("unknown subcommand") << QStringList{u"move"_s, u"P"_s} << u"move"_s;
        QTest::newRow("no terminal, no --yes") << QStringList{u"run"_s, u"P"_s, u"--folder-first"_s}
                                               << u"是否重命名这些文件?\n执行操作后不能撤消恢复！"_s;
    }

    void usageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, errorPart);
        TempTree tree;
        tree.write(u"p/a/1.txt"_s, "1");
        args.replace(1, tree.file(u"p"_s));
        const CliResult r = cli(QStringList{u"folders"_s} + args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(errorPart), qPrintable(r.err));
        QCOMPARE(tree.entries(), QStringList{u"p"_s});
        QCOMPARE(tree.entries(u"p/a"_s), QStringList{u"1.txt"_s});
    }

    // Mode 0 on the command line leaves the record that `undo` plays back.
    void runRenamesAndUndoes()
    {
        TempTree tree;
        TempTree undo;
        tree.mkdir(u"p/Jan"_s);
        tree.mkdir(u"p/Feb"_s);
        const CliResult r = cli({u"folders"_s, u"run"_s, tree.file(u"p"_s), u"--affix"_s, u"--prefix"_s,
                                 u"x"_s, u"--yes"_s, u"--undo-dir"_s, undo.path()});
        QCOMPARE(r.exitCode, 0);
        const QStringList out = lines(r.out);
        QCOMPARE(out.size(), 4);
        QCOMPARE(out.at(0), tree.file(u"p/Feb"_s) + u"\txFeb\t操作成功"_s);
        QCOMPARE(out.at(2), u"文件夹已全部按要求重命名！"_s);
        QVERIFY(out.at(3).startsWith(u"undo: "_s + undo.path() + u'/'));
        QCOMPARE(tree.entries(u"p"_s), (QStringList{u"xFeb"_s, u"xJan"_s}));

        const CliResult back = cli({u"undo"_s, out.at(3).mid(6), u"--yes"_s});
        QCOMPARE(back.exitCode, 0);
        QCOMPARE(tree.entries(u"p"_s), (QStringList{u"Feb"_s, u"Jan"_s}));
    }

    void runCopyJsonAndSkips()
    {
        TempTree tree;
        tree.write(u"p/a/bc.txt"_s, "first");
        tree.write(u"p/ab/c.txt"_s, "second");
        const CliResult r = cli({u"folders"_s, u"run"_s, tree.file(u"p"_s), u"--folder-first"_s, u"--copy"_s,
                                 u"--yes"_s, u"--json"_s});
        QCOMPARE(r.exitCode, 1);
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
        const QJsonArray rows = doc.value(u"rows"_s).toArray();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).toObject().value(u"option"_s).toString(), u"操作成功"_s);
        QCOMPARE(rows.at(1).toObject().value(u"option"_s).toString(), u"操作失败"_s);
        QCOMPARE(doc.value(u"messages"_s).toArray().at(0).toString(),
                 u"文件已全部按要求复制到：\r\n"_s + tree.file(u"_p/"_s) +
                     u"\r\n其中 1 项未能完成（新名称已存在、无效或原文件不存在），已跳过。"_s);
        QCOMPARE(tree.read(u"_p/abc.txt"_s), QByteArray("first"));
        QCOMPARE(tree.read(u"p/ab/c.txt"_s), QByteArray("second"));
    }

    void helpShowsOptions()
    {
        const CliResult r = cli({u"folders"_s, u"run"_s, u"--help"_s});
        QCOMPARE(r.exitCode, 0);
        for (const QString& option : {u"--folder-first"_s, u"--copy"_s, u"--undo-dir"_s, u"--number"_s})
            QVERIFY2(r.out.contains(option), qPrintable(option));
        const CliResult usage = cli({u"--help"_s});
        QVERIFY(usage.out.contains(u"tarnwick-cli folders run     FOLDER"_s));
        QVERIFY(usage.out.contains(u"tarnwick-cli blank-lines     FILE-OR-FOLDER"_s));
    }
};

QTEST_GUILESS_MAIN(TestFolderCli)
#include "tst_foldercli.moc"
