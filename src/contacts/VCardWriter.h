#pragma once

#include "ContactRow.h"

#include <QByteArray>
#include <QString>

namespace Contacts {

class CharacterTable;

// The cards of `rows` as the vCard 2.1 text the writer appends, one card per row
// in order, every line ended by CR LF:
//   BEGIN:VCARD / VERSION:2.1 / FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:<EncodeName>
//   TEL;CELL: / TEL;HOME: / TEL;VOICE: / TEL;FAX: / TEL: (each only for a non-empty field)
//   END:VCARD
// Telephone fields are written as they stand, except that a line break inside
// one (which would end the card's line) is written as a space; their text is
// UTF-8 (ASCII numbers give the same bytes in any code page).
QByteArray VCardText(const ContactRows& rows, const CharacterTable& table);

// `WriteVCardFile`: appends VCardText(rows) to the file at `path`, creating it
// when missing, with one write and a flush; after a last line without a line
// end it first ends that line. When that fails (disk full, no
// permission) the file is cut back to its old length, so it never holds half a
// card; false with `error` saying why.
bool WriteVCardFile(const QString& path, const ContactRows& rows, const CharacterTable& table,
                    QString* error = nullptr);

// "转换为VCF文件" and the completion text "<path>已创建！".
QString vcfMessageTitle();
QString createdMessage(const QString& path);

} // namespace Contacts
