#pragma once

#include "WorkbookError.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <string>
#include <vector>

namespace Xl {

class XmlScanner;

// Plain text of the <is> or <si> element just started in `sc` (runs joined,
// phonetic runs left out); `rich` is set when it holds more than one <t>.
bool readRichText(XmlScanner& sc, QString* text, bool* rich, QString* error);

// The shared string table. Items read from the file are kept as their raw
// markup, so rich text survives; new items are appended, and only a table
// that gained items is written anew.
class SharedStrings
{
public:
    bool load(const QByteArray& data, const QString& part, WorkbookError* error);
    void createEmpty();

    int count() const { return int(m_ranges.size() + m_added.size()); }
    QString text(int index) const;
    bool isRich(int index) const;
    // The item's markup, "<si>...</si>" (element names as in this table).
    QByteArray itemMarkup(int index) const;

    // Index of a plain item with this text, appended when there is none.
    int add(const QString& text);
    // Appends an item from another table: rich text keeps its markup (plain
    // text only when the tables use different namespace prefixes).
    int addItem(const QByteArray& markup, const QByteArray& markupPrefix, const QString& text, bool rich);

    bool isModified() const { return !m_added.empty(); }
    QByteArray save() const;
    QByteArray prefix() const { return m_prefix; }

private:
    void buildIndex() const;

    QByteArray m_data; // the part as read
    QByteArray m_prefix;
    qsizetype m_rootTagBegin = 0, m_rootTagEnd = 0; // the <sst ...> start tag
    qsizetype m_itemsEnd = 0;                       // after the last original item
    // Original items' markup; their texts are read from it when asked for, so
    // that a table of millions of items costs little more than its XML.
    std::vector<std::pair<quint32, quint32>> m_ranges;
    std::vector<bool> m_rich;
    std::vector<QByteArray> m_added; // markup of appended items
    std::vector<QString> m_addedTexts;
    mutable QHash<QString, int> m_plainIndex;
    mutable bool m_indexBuilt = false;
};

} // namespace Xl
