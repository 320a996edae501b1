// The XML parts of a workbook, zipped by our own writer so that mutations
// reach the XML readers instead of dying in the zip container. The input is
// the sheet, then optionally the shared strings, the styles and the workbook
// part, separated by lines "--part--". The sheet is also read piece by piece
// as a large part is: the rows must not depend on where the pieces are cut.
#include "FuzzSupport.h"
#include "WorkbookWalk.h"

#include "workbook/SheetPartReader.h"
#include "workbook/ZipPackage.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kWorkbook =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";

QByteArray package(const QList<QByteArray>& parts)
{
    const QByteArray ns = "http://schemas.openxmlformats.org/";
    Xl::ZipPackage zip;
    zip.write(u"[Content_Types].xml"_s,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"" + ns +
                  "package/2006/content-types\">"
                  "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
                  "relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                  "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-"
                  "officedocument.spreadsheetml.sheet.main+xml\"/>"
                  "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/"
                  "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
                  "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
                  "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
                  "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-"
                  "officedocument.spreadsheetml.styles+xml\"/></Types>");
    zip.write(u"_rels/.rels"_s, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"" + ns +
                                    "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" + ns +
                                    "officeDocument/2006/relationships/officeDocument\" "
                                    "Target=\"xl/workbook.xml\"/></Relationships>");
    zip.write(u"xl/_rels/workbook.xml.rels"_s,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships xmlns=\"" + ns +
                  "package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"" +
                  ns +
                  "officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                  "<Relationship Id=\"rId2\" Type=\"" +
                  ns +
                  "officeDocument/2006/relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
                  "<Relationship Id=\"rId3\" Type=\"" +
                  ns + "officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/></Relationships>");
    zip.write(u"xl/worksheets/sheet1.xml"_s, parts.value(0));
    zip.write(u"xl/sharedStrings.xml"_s,
              parts.value(1, "<sst xmlns=\"" + ns + "spreadsheetml/2006/main\"/>"));
    zip.write(u"xl/styles.xml"_s,
              parts.value(2, "<styleSheet xmlns=\"" + ns + "spreadsheetml/2006/main\"/>"));
    zip.write(u"xl/workbook.xml"_s, parts.value(3, kWorkbook));
    QByteArray out;
    if (!zip.save(&out, nullptr))
        std::abort();
    return out;
}

// The part read in pieces of `piece` bytes, as one text; false when refused.
bool readInPieces(const QByteArray& xml, qsizetype piece, QByteArray* dump)
{
    Xl::SheetPartReader reader(u"sheet1.xml"_s, nullptr);
    bool ok = true;
    for (qsizetype at = 0; ok && at < xml.size(); at += piece)
        ok = reader.feed(xml.constData() + at, std::min(piece, xml.size() - at));
    if (!ok || !reader.finish())
        return false;
    *dump = reader.head + '|';
    reader.data.write(*dump, reader.prefix);
    *dump += '|' + reader.tail;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    const QByteArray separator = "\n--part--\n";
    QList<QByteArray> parts;
    for (qsizetype from = 0; parts.size() < 4;) {
        const qsizetype at = input.indexOf(separator, from);
        parts.append(input.mid(from, at < 0 ? -1 : at - from));
        if (at < 0)
            break;
        from = at + separator.size();
    }
    Fuzz::walkWorkbook(Fuzz::writeScratch(package(parts), ".xlsx"));

    const QByteArray& sheet = parts.first();
    QByteArray whole;
    QByteArray pieces;
    const bool wholeRead = readInPieces(sheet, std::max<qsizetype>(sheet.size(), 1), &whole);
    FUZZ_CHECK(readInPieces(sheet, 7, &pieces) == wholeRead);
    FUZZ_CHECK(pieces == whole);
    return 0;
}
