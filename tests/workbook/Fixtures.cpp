#include "Fixtures.h"

#include "ZipPackage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <xlsxwriter.h>
#include <zlib.h>

using namespace Qt::Literals::StringLiterals;

namespace Fixtures {

XlsxBuilder::XlsxBuilder(const QString& path)
{
    m_book = workbook_new(QFile::encodeName(path).constData());
}

XlsxBuilder::~XlsxBuilder()
{
    if (m_book)
        close();
}

lxw_worksheet* XlsxBuilder::sheet(const QString& name)
{
    m_keep << name.toUtf8();
    m_sheet = workbook_add_worksheet(m_book, m_keep.last().constData());
    return m_sheet;
}

void XlsxBuilder::number(int row, int column, double value, lxw_format* format)
{
    worksheet_write_number(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, format);
}

void XlsxBuilder::text(int row, int column, const QString& value, lxw_format* format)
{
    worksheet_write_string(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value.toUtf8().constData(),
                           format);
}

void XlsxBuilder::boolean(int row, int column, bool value)
{
    worksheet_write_boolean(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), value, nullptr);
}

void XlsxBuilder::formula(int row, int column, const QString& formula, double cached)
{
    worksheet_write_formula_num(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                formula.toUtf8().constData(), nullptr, cached);
}

void XlsxBuilder::formulaText(int row, int column, const QString& formula, const QString& cached)
{
    worksheet_write_formula_str(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                formula.toUtf8().constData(), nullptr, cached.toUtf8().constData());
}

void XlsxBuilder::blank(int row, int column, lxw_format* format)
{
    worksheet_write_blank(m_sheet, lxw_row_t(row - 1), lxw_col_t(column - 1), format);
}

lxw_format* XlsxBuilder::format()
{
    return workbook_add_format(m_book);
}

bool XlsxBuilder::close()
{
    const lxw_error e = workbook_close(m_book);
    m_book = nullptr;
    return e == LXW_NO_ERROR;
}

QByteArray pngBytes()
{
    static const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52, 0x00,
        0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00, 0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00,
        0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01,
        0x0D, 0x0A, 0x2D, 0xB4, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    return QByteArray(reinterpret_cast<const char*>(png), sizeof png);
}

bool writeFidelityWorkbook(const QString& path)
{
    XlsxBuilder b(path);
    b.sheet(u"空白"_s);
    lxw_worksheet* ws = b.sheet(u"数据"_s);
    lxw_format* bold = b.format();
    format_set_bold(bold);
    format_set_bg_color(bold, 0xFFFF00);
    b.text(1, 1, u"月份"_s, bold);
    b.text(1, 2, u"销量"_s, bold);
    for (int i = 0; i < 5; ++i) {
        b.text(2 + i, 1, u"%1月"_s.arg(i + 1));
        b.number(2 + i, 2, 3 + i * 2);
    }

    lxw_chart* chart = workbook_add_chart(b.workbook(), LXW_CHART_COLUMN);
    chart_add_series(chart, "=数据!$A$2:$A$6", "=数据!$B$2:$B$6");
    worksheet_insert_chart(ws, 1, 4, chart);

    static const QByteArray png = pngBytes();
    worksheet_insert_image_buffer(ws, 20, 4, reinterpret_cast<const unsigned char*>(png.constData()),
                                  size_t(png.size()));

    worksheet_write_comment(ws, 0, 1, "单位：件");

    lxw_data_validation dv{};
    dv.validate = LXW_VALIDATION_TYPE_INTEGER;
    dv.criteria = LXW_VALIDATION_CRITERIA_BETWEEN;
    dv.minimum_number = 0;
    dv.maximum_number = 100;
    worksheet_data_validation_range(ws, 1, 1, 5, 1, &dv);

    lxw_format* red = b.format();
    format_set_font_color(red, 0x9C0006);
    format_set_bg_color(red, 0xFFC7CE);
    lxw_conditional_format cf{};
    cf.type = LXW_CONDITIONAL_TYPE_CELL;
    cf.criteria = LXW_CONDITIONAL_CRITERIA_GREATER_THAN;
    cf.value = 8;
    cf.format = red;
    worksheet_conditional_format_range(ws, 1, 1, 5, 1, &cf);

    worksheet_freeze_panes(ws, 1, 0);
    worksheet_autofilter(ws, 0, 0, 5, 1);
    worksheet_write_url(ws, 7, 0, "https://example.com/report", nullptr);
    workbook_define_name(b.workbook(), "销量合计", "=数据!$B$2:$B$6");
    worksheet_protect(ws, nullptr, nullptr);

    lxw_worksheet* summary = b.sheet(u"汇总"_s);
    b.text(1, 1, u"合计"_s);
    b.formula(1, 2, u"=SUM(数据!B2:B6)"_s, 35);
    b.text(3, 1, u"地区"_s);
    b.text(3, 2, u"人数"_s);
    b.text(4, 1, u"北"_s);
    b.number(4, 2, 3);
    b.text(5, 1, u"南"_s);
    b.number(5, 2, 4);
    worksheet_add_table(summary, 2, 0, 4, 1, nullptr);
    worksheet_activate(ws);
    return b.close();
}

QByteArray zipOf(const QList<QPair<QString, QByteArray>>& entries)
{
    Xl::ZipPackage p;
    for (const auto& [name, data] : entries)
        p.write(name, data);
    QByteArray out;
    p.save(&out, nullptr);
    return out;
}

namespace {

void put16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}

void put32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

} // namespace

QByteArray zip64SizeClaim(quint64 compressedClaim, int method)
{
    const QByteArray name = "[Content_Types].xml";
    const QByteArray data = "<Types/>";
    const quint32 crc =
        quint32(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
    QByteArray zip;
    put32(zip, 0x04034b50);
    put16(zip, 20);
    put16(zip, 0);
    put16(zip, quint16(method));
    put16(zip, 0);
    put16(zip, 0x21);
    put32(zip, crc);
    put32(zip, quint32(data.size()));
    put32(zip, quint32(data.size()));
    put16(zip, quint16(name.size()));
    put16(zip, 0);
    zip.append(name);
    zip.append(data);
    const quint32 cdStart = quint32(zip.size());
    put32(zip, 0x02014b50);
    put16(zip, 45);
    put16(zip, 45);
    put16(zip, 0);
    put16(zip, quint16(method));
    put16(zip, 0);
    put16(zip, 0x21);
    put32(zip, crc);
    put32(zip, 0xFFFFFFFFu); // compressed size: in the ZIP64 field
    put32(zip, quint32(data.size()));
    put16(zip, quint16(name.size()));
    put16(zip, 12);
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, 0);
    put32(zip, 0);
    put32(zip, 0);
    zip.append(name);
    put16(zip, 0x0001);
    put16(zip, 8);
    put32(zip, quint32(compressedClaim & 0xFFFFFFFFu));
    put32(zip, quint32(compressedClaim >> 32));
    const quint32 cdSize = quint32(zip.size()) - cdStart;
    put32(zip, 0x06054b50);
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, 1);
    put16(zip, 1);
    put32(zip, cdSize);
    put32(zip, cdStart);
    put16(zip, 0);
    return zip;
}

QByteArray packageWithRepeatedSheet(const QByteArray& head, const QByteArray& unit, qint64 count,
                                    const QByteArray& tail)
{
    // The other parts as the plain package has them, then the sheet replaced.
    Xl::ZipPackage plain;
    plain.load(packageWithSheet("<x/>"), nullptr);
    struct Part
    {
        QByteArray name;
        QByteArray compressed;
        quint32 crc = 0;
        quint64 size = 0;
    };
    QList<Part> parts;
    for (const QString& name : plain.names()) {
        Part part;
        part.name = name.toUtf8();
        z_stream z{};
        deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        uLong crc = crc32(0, nullptr, 0);
        char out[1 << 16];
        auto push = [&](const QByteArray& piece, bool last) {
            crc = crc32(crc, reinterpret_cast<const Bytef*>(piece.constData()), uInt(piece.size()));
            part.size += quint64(piece.size());
            z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
            z.avail_in = uInt(piece.size());
            do {
                z.next_out = reinterpret_cast<Bytef*>(out);
                z.avail_out = sizeof out;
                deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
                part.compressed.append(out, qsizetype(sizeof out - z.avail_out));
            } while (z.avail_out == 0 || (last && z.avail_in > 0));
        };
        if (name == u"xl/worksheets/sheet1.xml"_s) {
            push(head, false);
            const qint64 perPiece =
                std::max<qint64>(1, (qint64(1) << 20) / std::max<qsizetype>(unit.size(), 1));
            const QByteArray piece = unit.repeated(perPiece);
            qint64 left = count;
            for (; left >= perPiece; left -= perPiece)
                push(piece, false);
            push(unit.repeated(left), false);
            push(tail, true);
        } else {
            QByteArray data;
            plain.read(name, &data, nullptr);
            push(data, true);
        }
        deflateEnd(&z);
        part.crc = quint32(crc);
        parts << part;
    }
    QByteArray zip;
    QList<quint32> offsets;
    for (const Part& p : parts) {
        offsets << quint32(zip.size());
        put32(zip, 0x04034b50);
        put16(zip, 20);
        put16(zip, 0);
        put16(zip, 8);
        put16(zip, 0);
        put16(zip, 0x21);
        put32(zip, p.crc);
        put32(zip, quint32(p.compressed.size()));
        put32(zip, quint32(p.size));
        put16(zip, quint16(p.name.size()));
        put16(zip, 0);
        zip.append(p.name);
        zip.append(p.compressed);
    }
    const quint32 cdStart = quint32(zip.size());
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const Part& p = parts.at(i);
        put32(zip, 0x02014b50);
        put16(zip, 20);
        put16(zip, 20);
        put16(zip, 0);
        put16(zip, 8);
        put16(zip, 0);
        put16(zip, 0x21);
        put32(zip, p.crc);
        put32(zip, quint32(p.compressed.size()));
        put32(zip, quint32(p.size));
        put16(zip, quint16(p.name.size()));
        put16(zip, 0);
        put16(zip, 0);
        put16(zip, 0);
        put16(zip, 0);
        put32(zip, 0);
        put32(zip, offsets.at(i));
        zip.append(p.name);
    }
    const quint32 cdSize = quint32(zip.size()) - cdStart;
    put32(zip, 0x06054b50);
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, quint16(parts.size()));
    put16(zip, quint16(parts.size()));
    put32(zip, cdSize);
    put32(zip, cdStart);
    put16(zip, 0);
    return zip;
}

QByteArray zeroBomb(int entries, qint64 inflated, qint64 declared)
{
    // One raw deflate stream of zeros, shared by every entry.
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray compressed;
    const QByteArray zeros(1 << 20, '\0');
    quint32 crc = quint32(crc32(0, nullptr, 0));
    char out[1 << 16];
    for (qint64 left = inflated; left > 0;) {
        const qint64 n = std::min<qint64>(left, zeros.size());
        left -= n;
        crc = quint32(crc32(crc, reinterpret_cast<const Bytef*>(zeros.constData()), uInt(n)));
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
        z.avail_in = uInt(n);
        do {
            z.next_out = reinterpret_cast<Bytef*>(out);
            z.avail_out = sizeof out;
            deflate(&z, left > 0 ? Z_NO_FLUSH : Z_FINISH);
            compressed.append(out, qsizetype(sizeof out - z.avail_out));
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    const quint32 size = quint32(declared < 0 ? inflated : declared);

    QByteArray zip;
    QList<quint32> offsets;
    QList<QByteArray> names;
    for (int i = 0; i < entries; ++i) {
        const QByteArray name = "xl/media/zeros" + QByteArray::number(i) + ".bin";
        names << name;
        offsets << quint32(zip.size());
        put32(zip, 0x04034b50);
        put16(zip, 20);
        put16(zip, 0);
        put16(zip, 8);
        put16(zip, 0);
        put16(zip, 0x21);
        put32(zip, crc);
        put32(zip, quint32(compressed.size()));
        put32(zip, size);
        put16(zip, quint16(name.size()));
        put16(zip, 0);
        zip.append(name);
        zip.append(compressed);
    }
    const quint32 cdStart = quint32(zip.size());
    for (int i = 0; i < entries; ++i) {
        put32(zip, 0x02014b50);
        put16(zip, 20);
        put16(zip, 20);
        put16(zip, 0);
        put16(zip, 8);
        put16(zip, 0);
        put16(zip, 0x21);
        put32(zip, crc);
        put32(zip, quint32(compressed.size()));
        put32(zip, size);
        put16(zip, quint16(names[i].size()));
        put16(zip, 0);
        put16(zip, 0);
        put16(zip, 0);
        put16(zip, 0);
        put32(zip, 0);
        put32(zip, offsets[i]);
        zip.append(names[i]);
    }
    const quint32 cdSize = quint32(zip.size()) - cdStart;
    put32(zip, 0x06054b50);
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, quint16(entries));
    put16(zip, quint16(entries));
    put32(zip, cdSize);
    put32(zip, cdStart);
    put16(zip, 0);
    return zip;
}

QByteArray packageWithSheet(const QByteArray& sheetXml, const QByteArray& workbookXml)
{
    return packageOf({{u"Sheet1"_s, sheetXml, {}}}, {}, {}, workbookXml);
}

QByteArray sheetXml(const QByteArray& rows)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<sheetData>" +
           rows + "</sheetData></worksheet>";
}

QByteArray packageOf(const QList<PackageSheet>& sheets, const QByteArray& stylesXml,
                     const QByteArray& workbookPr, const QByteArray& workbookXml)
{
    QByteArray types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
    QByteArray wb = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
                    workbookPr + "<sheets>";
    QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                      "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    QList<QPair<QString, QByteArray>> entries;
    for (int i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        types +=
            "<Override PartName=\"/xl/worksheets/sheet" + n +
            ".xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
        QByteArray name = sheets[i].name.toUtf8();
        name.replace("&", "&amp;").replace("\"", "&quot;").replace("<", "&lt;");
        wb += "<sheet name=\"" + name + "\" sheetId=\"" + n + "\"" +
              (sheets[i].state.isEmpty() ? QByteArray() : " state=\"" + sheets[i].state.toUtf8() + "\"") +
              " r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                "Target=\"worksheets/sheet" +
                n + ".xml\"/>";
        entries.append({u"xl/worksheets/sheet%1.xml"_s.arg(i + 1), sheets[i].xml});
    }
    if (!stylesXml.isEmpty()) {
        types += "<Override PartName=\"/xl/styles.xml\" "
                 "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";
        rels += "<Relationship Id=\"rIdStyles\" "
                "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                "Target=\"styles.xml\"/>";
        entries.append({u"xl/styles.xml"_s, stylesXml});
    }
    types += "</Types>";
    wb += "</sheets></workbook>";
    if (!workbookXml.isEmpty())
        wb = workbookXml;
    rels += "</Relationships>";
    entries.prepend({u"xl/_rels/workbook.xml.rels"_s, rels});
    entries.prepend({u"xl/workbook.xml"_s, wb});
    entries.prepend({u"_rels/.rels"_s,
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                     "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                     "<Relationship Id=\"rId1\" "
                     "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                     "relationships/officeDocument\" Target=\"xl/workbook.xml\"/>"
                     "</Relationships>"});
    entries.prepend({u"[Content_Types].xml"_s, types});
    return zipOf(entries);
}

QByteArray encryptedWorkbook()
{
    // Header, one allocation-table sector and one directory sector.
    QByteArray b(512 * 3, '\0');
    auto set16 = [&](int at, quint16 v) { qToLittleEndian(v, b.data() + at); };
    auto set32 = [&](int at, quint32 v) { qToLittleEndian(v, b.data() + at); };
    memcpy(b.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    set16(0x18, 0x3E);
    set16(0x1A, 3);
    set16(0x1C, 0xFFFE);
    set16(0x1E, 9);
    set16(0x20, 6);
    set32(0x2C, 1); // allocation-table sectors
    set32(0x30, 1); // first directory sector
    set32(0x38, 4096);
    set32(0x3C, 0xFFFFFFFE); // no mini table
    set32(0x44, 0xFFFFFFFE); // no extra table sectors
    set32(0x4C, 0);          // the table is sector 0
    for (int i = 1; i < 109; ++i)
        set32(0x4C + i * 4, 0xFFFFFFFF);
    const int fat = 512;
    set32(fat + 0, 0xFFFFFFFD); // sector 0 holds the table
    set32(fat + 4, 0xFFFFFFFE); // sector 1: directory, end of chain
    for (int i = 2; i < 128; ++i)
        set32(fat + i * 4, 0xFFFFFFFF);
    auto entry = [&](int index, const QString& name, quint8 type) {
        const int at = 1024 + index * 128;
        for (int i = 0; i < name.size(); ++i)
            set16(at + i * 2, name[i].unicode());
        set16(at + 0x40, quint16((name.size() + 1) * 2));
        b[at + 0x42] = char(type);
        set32(at + 0x44, 0xFFFFFFFF);
        set32(at + 0x48, 0xFFFFFFFF);
        set32(at + 0x4C, index == 0 ? 1 : 0xFFFFFFFF);
        set32(at + 0x74, 0xFFFFFFFE);
    };
    entry(0, u"Root Entry"_s, 5);
    entry(1, u"EncryptionInfo"_s, 2);
    entry(2, u"EncryptedPackage"_s, 2);
    set32(1024 + 128 + 0x48, 2); // the second stream is the first's sibling
    return b;
}

QByteArray partOf(const QString& path, const QString& part)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    Xl::ZipPackage p;
    QByteArray data;
    if (!p.load(f.readAll(), nullptr) || !p.read(part, &data, nullptr))
        return {};
    return data;
}

QStringList partNames(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    Xl::ZipPackage p;
    if (!p.load(f.readAll(), nullptr))
        return {};
    return p.names();
}

bool gnumericReads(const QString& path, QString* messages)
{
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s);
    env.insert(u"NO_AT_BRIDGE"_s, u"1"_s);
    p.setProcessEnvironment(env);
    p.start(QStandardPaths::findExecutable(u"ssconvert"_s), {path, dir.filePath(u"out.csv"_s)});
    p.waitForFinished(120000);
    *messages = QString::fromLocal8Bit(p.readAllStandardError() + p.readAllStandardOutput()).trimmed();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 &&
           QFile::exists(dir.filePath(u"out.csv"_s));
}

QSet<QString> messageKinds(const QString& messages)
{
    // Messages are a line and, for parser notes, an indented context line.
    QSet<QString> out;
    QString current;
    for (const QString& line : messages.split(u'\n')) {
        if (line.startsWith(u'\t') || line.startsWith(u' ')) {
            current += line.trimmed();
            continue;
        }
        if (!current.isEmpty())
            out.insert(current);
        current = line.trimmed();
    }
    if (!current.isEmpty())
        out.insert(current);
    return out;
}

} // namespace Fixtures
