// The contact converter on 100,000 contacts: CSV → vCard file, vCard file →
// rows, rows → .xlsx, and 60,000 rows → .xls (through ssconvert).
// Usage: bench_contacts [RUNS] [text]; prints the medians of RUNS runs (default
// 5; at most 3 for the workbooks) of each step; "text" stops after the vCard steps.

#include "contacts/CharacterTable.h"
#include "contacts/ContactTables.h"
#include "contacts/VCardReader.h"
#include "contacts/VCardWriter.h"
#include "contacts/WorkbookExport.h"
#include "platform/GbkText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// CPU time of this process and its children (ssconvert), in ms: on a shared
// machine wall time mostly measures the other work.
double cpuMs()
{
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(self.ru_utime) + ms(self.ru_stime) + ms(children.ru_utime) + ms(children.ru_stime);
}

struct Timing
{
    double wall = 0;
    double cpu = 0;
};

// Medians of wall and CPU time over `runs` runs.
Timing median(int runs, const std::function<void()>& setUp, const std::function<void()>& step)
{
    QList<double> walls, cpus;
    for (int i = 0; i < runs; ++i) {
        setUp();
        QElapsedTimer timer;
        const double cpu = cpuMs();
        timer.start();
        step();
        walls.append(timer.nsecsElapsed() / 1e6);
        cpus.append(cpuMs() - cpu);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls.at(walls.size() / 2), cpus.at(cpus.size() / 2)};
}

// A CSV of `count` contacts: two- to four-character Chinese names, a mobile
// number, every third a home number, every fifth a work number.
QByteArray contactCsv(int count)
{
    const QString surnames = u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗欧阳"_s;
    const QString given = u"伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀兰霞平刚桂英"_s;
    QRandomGenerator random(20261211);
    QString text = u"姓名,移动,家庭,工作,传真,其他\r\n"_s;
    for (int i = 0; i < count; ++i) {
        QString name(surnames.at(random.bounded(surnames.size())));
        const int length = 1 + random.bounded(3);
        for (int k = 0; k < length; ++k)
            name += given.at(random.bounded(given.size()));
        text += name + u',' + u"1%1"_s.arg(3800000000LL + i) + u',';
        if (i % 3 == 0)
            text += u"010-6%1"_s.arg(1000000 + i);
        text += u',';
        if (i % 5 == 0)
            text += u"021-5%1"_s.arg(1000000 + i);
        text += u",,\r\n"_s;
    }
    return text.toUtf8();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int count = 100000;
    QTemporaryDir dir;
    const QString csv = dir.filePath(u"contacts.csv"_s);
    const QString vcf = dir.filePath(u"contacts.vcf"_s);
    {
        QFile file(csv);
        if (!file.open(QIODevice::WriteOnly) || file.write(contactCsv(count)) < 0)
            return 1;
    }
    // The table the program ships: every GBK ideograph, 一 first.
    QStringList lines{u"=E4=B8=80一"_s};
    for (char16_t c = 0x4E01; c <= 0x9FA5; ++c)
        lines.append(Contacts::quotedPrintableOf(QString(QChar(c)).toUtf8()) + QChar(c));
    const Contacts::CharacterTable table = Contacts::CharacterTable::fromLines(lines);

    Contacts::ContactRows rows;
    const Timing toVcf = median(
        runs, [&] { QFile::remove(vcf); },
        [&] {
            const Contacts::TextTableResult read = Contacts::Read_Text(csv);
            Contacts::WriteVCardFile(vcf, read.rows, table);
        });
    std::printf("CSV -> vCard (%d contacts, Read_Text + WriteVCardFile): wall %.1f ms, CPU %.1f ms\n", count,
                toVcf.wall, toVcf.cpu);

    const Timing fromVcf = median(
        runs, [] {},
        [&] {
            Contacts::VCardLines store;
            Contacts::ReadVCardLines(vcf, store);
            rows = Contacts::ParseVCardLines(store);
        });
    std::printf("vCard -> rows (%lld cards, ReadVCardLines + ParseVCardLines): wall %.1f ms, CPU %.1f ms\n",
                static_cast<long long>(rows.size()), fromVcf.wall, fromVcf.cpu);
    if (argc > 2 && QByteArray(argv[2]) == "text")
        return 0;

    const QString xlsx = dir.filePath(u"contacts.xlsx"_s);
    const Timing toXlsx = median(
        std::min(runs, 3), [] {}, [&] { Contacts::ExportWorkbook(xlsx, rows, nullptr); });
    std::printf("rows -> .xlsx (%lld rows, ExportWorkbook): wall %.1f ms, CPU %.1f ms\n",
                static_cast<long long>(rows.size()), toXlsx.wall, toXlsx.cpu);

    const Contacts::ContactRows sixty = rows.mid(0, 60000);
    const QString xls = dir.filePath(u"contacts.xls"_s);
    QString error;
    const Timing toXls = median(
        std::min(runs, 3), [] {}, [&] { Contacts::ExportWorkbook(xls, sixty, &error); });
    std::printf("rows -> .xls (%lld rows, ExportWorkbook through ssconvert): wall %.1f ms, CPU %.1f ms%s\n",
                static_cast<long long>(sixty.size()), toXls.wall, toXls.cpu,
                error.isEmpty() ? "" : " (failed)");
    return 0;
}
