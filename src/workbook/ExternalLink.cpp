#include "ExternalLink.h"

#include "CellAddress.h"
#include "Xml.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>

#include <pugixml.hpp>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

ExternalLink::ExternalLink(const QString& path, const QString& part, int number)
    : m_path(path), m_part(part), m_number(number)
{
}

int ExternalLink::sheetIndex(const QString& sheet)
{
    for (int i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i].compare(sheet, Qt::CaseInsensitive) == 0)
            return i;
    }
    m_sheets << sheet;
    m_cells.emplace_back();
    return int(m_sheets.size()) - 1;
}

void ExternalLink::addSheet(const QString& sheet)
{
    sheetIndex(sheet);
}

void ExternalLink::addCell(const QString& sheet, int row, int column, const CellValue& value)
{
    const int i = sheetIndex(sheet);
    if (!value.isEmpty())
        m_cells[size_t(i)][{row, column}] = value;
}

QByteArray ExternalLink::xml(const QByteArray& mainNamespace, const QByteArray& relNamespace) const
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value("1.0");
    decl.append_attribute("encoding").set_value("UTF-8");
    decl.append_attribute("standalone").set_value("yes");
    pugi::xml_node link = doc.append_child("externalLink");
    link.append_attribute("xmlns").set_value(mainNamespace.constData());
    link.append_attribute("xmlns:r").set_value(relNamespace.constData());
    pugi::xml_node book = link.append_child("externalBook");
    book.append_attribute("r:id").set_value("rId1");
    pugi::xml_node names = book.append_child("sheetNames");
    for (const QString& s : m_sheets)
        Xml::setAttr(names.append_child("sheetName"), "val", s);
    pugi::xml_node set = book.append_child("sheetDataSet");
    for (size_t i = 0; i < m_cells.size(); ++i) {
        pugi::xml_node data = set.append_child("sheetData");
        Xml::setAttr(data, "sheetId", qint64(i));
        pugi::xml_node row;
        int rowNumber = 0;
        for (const auto& [at, value] : m_cells[i]) {
            if (!row || at.first != rowNumber) {
                rowNumber = at.first;
                row = data.append_child("row");
                Xml::setAttr(row, "r", rowNumber);
            }
            pugi::xml_node cell = row.append_child("cell");
            Xml::setAttr(cell, "r", cellName(at.first, at.second));
            QString v;
            switch (value.type()) {
            case CellValue::Type::Number:
                v = QString::number(value.toNumber(), 'g', QLocale::FloatingPointShortest);
                break;
            case CellValue::Type::Text:
                Xml::setAttr(cell, "t", u"str"_s);
                v = value.toText();
                break;
            case CellValue::Type::Boolean:
                Xml::setAttr(cell, "t", u"b"_s);
                v = value.toBool() ? u"1"_s : u"0"_s;
                break;
            case CellValue::Type::Error:
                Xml::setAttr(cell, "t", u"e"_s);
                v = value.toText();
                break;
            case CellValue::Type::Empty:
                break;
            }
            Xml::setText(cell.append_child("v"), v);
        }
    }
    return Xml::save(doc);
}

QString ExternalLink::target(const QString& savedAt) const
{
    const QString relative = QDir(QFileInfo(savedAt).absolutePath()).relativeFilePath(m_path);
    QStringList segments;
    for (const QString& s : relative.split(u'/'))
        segments << QString::fromLatin1(QUrl::toPercentEncoding(s));
    return segments.join(u'/');
}

} // namespace Xl
