#include "Immutable.h"
#include "RecordingShell.h"
#include "ScriptedDialogs.h"
#include "TempTree.h"

#include "execute/MenuTools.h"
#include "execute/ProgramFiles.h"

#include "platform/AppPaths.h"
#include "platform/GbkText.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using Platform::MessageIcon;

// The File and Help menu tools that need no window, and the program's own files.
class TestMenuTools : public QObject
{
    Q_OBJECT

private:
    static void verifyInformation(const ScriptedDialogs& dialogs, const QString& text)
    {
        QCOMPARE(dialogs.texts(), QStringList{text});
        QCOMPARE(dialogs.messages.first().icon, MessageIcon::Information);
        QCOMPARE(dialogs.messages.first().buttons, Platform::MessageButtons::Ok);
    }

private Q_SLOTS:
    void versionText()
    {
        QCOMPARE(Execute::VersionText(), u"4.20"_s);
        QCOMPARE(Execute::versionText(4, 10, 3), u"4.103"_s);
    }

    void checkForUpdate()
    {
        ScriptedDialogs dialogs;
        Execute::CheckForUpdate(dialogs, u"tarnwick"_s);
        verifyInformation(dialogs, u"tarnwick已是最高版本！"_s);

        dialogs.clear();
        Execute::CheckForUpdate(dialogs, u"tarnwick"_s, u"4.10"_s);
        QCOMPARE(dialogs.texts(), QStringList{u"tarnwick的最高版本是:4.20\r\n而您的软件版本为4.10"_s});
        QCOMPARE(dialogs.messages.first().icon, MessageIcon::None);
        QCOMPARE(dialogs.messages.first().buttons, Platform::MessageButtons::OkCancel);
    }

    void folderProperties()
    {
        ScriptedDialogs dialogs;
        RecordingShell shell;
        QVERIFY(!Execute::ShowFolderProperties(QString(), dialogs, shell, nullptr));
        verifyInformation(dialogs, u"请在树状目录列表中单击选择文件夹! "_s);
        QVERIFY(shell.properties.isEmpty());

        dialogs.clear();
        QVERIFY(Execute::ShowFolderProperties(u"/home/用户/照片/"_s, dialogs, shell, nullptr));
        QVERIFY(Execute::ShowFolderProperties(u"/"_s, dialogs, shell, nullptr));
        QCOMPARE(shell.properties, QStringList({u"/home/用户/照片"_s, u"/"_s}));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void repair_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("restored");
        QTest::addColumn<QString>("message");
        const QString repaired = u"控件错误修复成功！"_s;
        const QString nothing = u"没有控件错误，\r\n不需任何修复！"_s;
        QTest::newRow("first start") << QStringList{}
                                     << QStringList{u"HanZi.txt"_s, u"FileHelp.html"_s, u"undofile"_s}
                                     << repaired;
        QTest::newRow("help missing")
            << QStringList{u"HanZi.txt"_s, u"undofile"_s} << QStringList{u"FileHelp.html"_s} << repaired;
        QTest::newRow("undo folder missing")
            << QStringList{u"HanZi.txt"_s, u"FileHelp.html"_s} << QStringList{u"undofile"_s} << repaired;
        QTest::newRow("all present") << QStringList{u"HanZi.txt"_s, u"FileHelp.html"_s, u"undofile"_s}
                                     << QStringList{} << nothing;
    }

    void repair()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, restored);
        QFETCH(QString, message);
        TempTree tree;
        const QString app = tree.mkdir(u"app"_s);
        for (const QString& name : present) {
            if (name == u"undofile"_s)
                tree.mkdir(u"app/undofile"_s);
            else
                tree.write(u"app/"_s + name, "the user's own copy");
        }
        const Platform::AppPaths paths(app, tree.file(u"data"_s));
        ScriptedDialogs dialogs;

        const auto report = Execute::RepairComponents(dialogs, paths);

        QCOMPARE(report.restored, restored);
        QVERIFY(report.failed.isEmpty());
        verifyInformation(dialogs, message);
        for (const QString& name : Execute::shippedFileNames()) {
            const QByteArray expected = present.contains(name) ? QByteArray("the user's own copy")
                                                               : Execute::shippedFileContent(name);
            QCOMPARE(tree.read(u"app/"_s + name), expected);
        }
        // Nothing half-written or temporary is left beside them.
        QCOMPARE(tree.entries(u"app"_s), QStringList({u"FileHelp.html"_s, u"HanZi.txt"_s, u"undofile"_s}));
    }

    void filesOfTheInstallAreNotMissing()
    {
        // An installed copy in a prefix the user can write to (a DESTDIR, ~/.local)
        // still writes nothing beside its executable: only the undo folder is
        // made, in the user's data folder.
        TempTree tree;
        const QString app = tree.mkdir(u"app"_s);
        tree.write(u"share/HanZi.txt"_s, "installed");
        tree.write(u"share/FileHelp.html"_s, "installed");
        const Platform::AppPaths paths(app, tree.file(u"data"_s), tree.file(u"share"_s));
        QVERIFY(paths.installed());
        QCOMPARE(paths.undoFolder(), tree.file(u"data/undofile"_s));
        QCOMPARE(paths.programFile(u"HanZi.txt"_s), tree.file(u"share/HanZi.txt"_s));
        QCOMPARE(Execute::RestoreProgramFiles(paths).restored, QStringList{u"undofile"_s});
        QVERIFY(tree.entries(u"app"_s).isEmpty());
        QCOMPARE(tree.entries(u"data"_s), QStringList{u"undofile"_s});
        QCOMPARE(tree.entries(u"share"_s), QStringList({u"FileHelp.html"_s, u"HanZi.txt"_s}));

        // Without an install data folder (a build folder) the executable's folder is used.
        const Platform::AppPaths build(app, tree.file(u"data"_s), tree.file(u"no-share"_s));
        QVERIFY(!build.installed());
        QCOMPARE(build.undoFolder(), app + u"/undofile"_s);
    }

    void whatCannotBeRestoredIsNotCounted()
    {
        TempTree tree;
        const QString app = tree.mkdir(u"app"_s);
        tree.mkdir(u"app/undofile"_s);
        const Immutable locked(app);
        REQUIRE_IMMUTABLE(locked);
        const Platform::AppPaths paths(app, QString()); // no other place to write to
        ScriptedDialogs dialogs;

        const auto report = Execute::RepairComponents(dialogs, paths);

        QCOMPARE(report.count(), 0);
        QCOMPARE(report.failed, QStringList({u"HanZi.txt"_s, u"FileHelp.html"_s}));
        QCOMPARE(dialogs.messages.size(), 1); // neither "repaired" nor "nothing to repair"
        QCOMPARE(dialogs.messages.first().icon, MessageIcon::Warning);
        QVERIFY(dialogs.messages.first().text.startsWith(u"以下文件无法修复：\r\nHanZi.txt（"_s));
        QVERIFY(tree.entries(u"app"_s) == QStringList{u"undofile"_s});
    }

    void helpOpensTheHelpDocumentOrRepairs()
    {
        TempTree tree;
        const QString app = tree.mkdir(u"app"_s);
        const Platform::AppPaths paths(app, tree.file(u"data"_s));
        ScriptedDialogs dialogs;
        RecordingShell shell;
        QVERIFY(Execute::ShowHelpFile(shell, dialogs, paths, nullptr));
        QCOMPARE(shell.help, QStringList{app + u"/FileHelp.html"_s});
        QVERIFY(dialogs.messages.isEmpty());

        // The help window cannot be shown: the repair runs instead.
        shell.succeed = false;
        QVERIFY(!Execute::ShowHelpFile(shell, dialogs, paths, nullptr));
        verifyInformation(dialogs, u"控件错误修复成功！"_s);
        QCOMPARE(tree.read(u"app/FileHelp.html"_s), Execute::shippedFileContent(u"FileHelp.html"_s));
    }

    void characterTable()
    {
        const QByteArray bytes = Execute::shippedFileContent(u"HanZi.txt"_s);
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        const QStringList lines = Platform::splitLines(Platform::decodeGbk(bytes));
        QCOMPARE(lines.first(), u"=E4=B8=80一"_s);

        const QRegularExpression format(u"^(=[0-9A-F]{2}){3}.$"_s);
        QSet<QChar> characters;
        for (const QString& line : lines) {
            QVERIFY2(format.match(line).hasMatch(), qPrintable(line));
            const QChar character = line.back();
            QVERIFY2(!characters.contains(character), qPrintable(line));
            characters.insert(character);
            QByteArray utf8;
            for (int i = 0; i < 3; ++i)
                utf8.append(char(line.mid(3 * i + 1, 2).toInt(nullptr, 16)));
            QCOMPARE(QString::fromUtf8(utf8), QString(character));
        }
        QVERIFY(lines.contains(u"=E5=BC=A0张"_s));
        QVERIFY(lines.contains(u"=E4=BA=8D亍"_s)); // level 2
        QVERIFY(lines.contains(u"=E4=B9=82乂"_s)); // beyond GB2312: GBK

        // Every character of GB2312 levels 1 and 2.
        qsizetype gb2312 = 0;
        for (int lead = 0xB0; lead <= 0xF7; ++lead) {
            for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                if (lead == 0xD7 && trail > 0xF9)
                    continue; // the unassigned end of level 1
                QByteArray code;
                code.append(char(lead));
                code.append(char(trail));
                const QString character = Platform::decodeGbk(code);
                QVERIFY2(characters.contains(character.at(0)), code.toHex().constData());
                ++gb2312;
            }
        }
        QCOMPARE(gb2312, 6763);
        QVERIFY(lines.size() > 20000);
    }

    void helpDocumentExplainsEveryMethod()
    {
        const QString help = QString::fromUtf8(Execute::shippedFileContent(u"FileHelp.html"_s));
        QVERIFY(help.startsWith(u"<!DOCTYPE html>"_s));
        const QStringList topics{u"自动编号"_s,       u"删除字符"_s,      u"添加前后缀"_s, u"替换字符"_s,
                                 u"修改扩展名"_s,     u"分割文件名"_s,    u"引用文档"_s,   u"汉字转拼音"_s,
                                 u"更改属性"_s,       u"预览新文件名"_s,  u"执行重命名"_s, u"撤消重命名"_s,
                                 u"删除重命名文档"_s, u"undofile"_s,      u"筛选"_s,       u"文件夹重命名"_s,
                                 u"合并工作表"_s,     u"Excel与VCF转换"_s};
        for (const QString& topic : topics)
            QVERIFY2(help.contains(topic), qPrintable(topic));
    }
};

QTEST_GUILESS_MAIN(TestMenuTools)
#include "tst_menutools.moc"
