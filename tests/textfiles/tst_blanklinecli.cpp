#include "CliRunner.h"
#include "TempTree.h"

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

// `tarnwick-cli blank-lines` driven as a user runs it.
class TestBlankLineCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void singleFile()
    {
        TempTree tree;
        const QString path = tree.write(u"r.txt"_s, "a\n \n\nb");
        tree.write(u"_r.txt"_s, "mine");
        CliResult r = cli({u"blank-lines"_s, path});
        QCOMPARE(r.exitCode, 0);
        const QString backup = tree.file(u"_r (2).txt"_s);
        QCOMPARE(lines(r.out),
                 (QStringList{path + u"\t2\t"_s + backup, u"文档空行已经删除,原文档备份在:"_s, backup}));
        QCOMPARE(tree.read(u"r.txt"_s), QByteArray("a\r\nb\r\n"));
        QCOMPARE(tree.read(u"_r.txt"_s), QByteArray("mine"));

        r = cli({u"blank-lines"_s, path, u"--no-backup"_s});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(lines(r.out), (QStringList{path + u"\t0\t"_s, path, u"文档空行已经全部删除!"_s}));
        QCOMPARE(tree.entries(), (QStringList{u"_r (2).txt"_s, u"_r.txt"_s, u"r.txt"_s}));
    }

    void folderAndJson()
    {
        TempTree tree;
        tree.write(u"a.txt"_s, "1\n\n");
        tree.write(u"b.txt"_s, "  \n2");
        tree.write(u"c.log"_s, "\n");
        const CliResult r = cli({u"blank-lines"_s, tree.path(), u"--no-backup"_s, u"--json"_s});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject doc = QJsonDocument::fromJson(r.out.toUtf8()).object();
        const QJsonArray rows = doc.value(u"rows"_s).toArray();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(1).toObject().value(u"path"_s).toString(), tree.file(u"b.txt"_s));
        QCOMPARE(rows.at(1).toObject().value(u"removed"_s).toInt(), 1);
        QCOMPARE(doc.value(u"messages"_s).toArray().at(0).toString(), u"已完成文档空行删除操作，请查看"_s);
        QCOMPARE(tree.entries(), (QStringList{u"a.txt"_s, u"b.txt"_s, u"c.log"_s}));
        QCOMPARE(tree.read(u"b.txt"_s), QByteArray("2\r\n"));
    }

    void nothingToClean()
    {
        TempTree tree;
        tree.write(u"c.log"_s, "\n");
        CliResult r = cli({u"blank-lines"_s, tree.path()});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains(u"所选文件夹中没有文本文件，请重新选择！"_s));
        r = cli({u"blank-lines"_s, tree.file(u"missing.txt"_s)});
        QCOMPARE(r.exitCode, 2);
        r = cli({u"blank-lines"_s});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(tree.entries(), QStringList{u"c.log"_s});
    }
};

QTEST_GUILESS_MAIN(TestBlankLineCli)
#include "tst_blanklinecli.moc"
