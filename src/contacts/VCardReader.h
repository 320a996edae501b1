#pragma once

#include "ContactRow.h"
#include "TextDecoding.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace Contacts {

// The line store `LstHaoma` of a read vCard file: its logical lines, trimmed of
// spaces at both ends, with folded lines (a line starting with a space or tab)
// and quoted-printable soft line breaks (a quoted-printable value ending in "=")
// joined to the line they continue. Lines stay bytes until a value is decoded,
// because a value's CHARSET may differ from the file's encoding.
struct VCardLines
{
    // Views into `storage`, which copies of the store share.
    QList<QByteArrayView> lines;
    // The file's own encoding: UTF-8 when it is valid UTF-8, else GBK (a UTF-16
    // file is converted to UTF-8 on reading).
    TextEncoding encoding = TextEncoding::Utf8;
    QList<QByteArray> storage; // the file's bytes and the joined lines
};

VCardLines vCardLinesOf(const QByteArray& bytes);

// `ReadVCardLines`: the line store of the file at `path`. False (and an empty
// store) with `error` when the file cannot be read.
bool ReadVCardLines(const QString& path, VCardLines& store, QString* error = nullptr);

// `ParseVCardLines`: one row per card (BEGIN:VCARD … END:VCARD, names of
// properties and of these lines compared without regard to case), 编号 counting
// cards from 1. A card without END:VCARD gives no row.
// - 姓名: the first FN line (with or without parameters, after an "item1."-style
//   group), quoted-printable decoded as RFC 2045 says and then read in the line's
//   CHARSET (UTF-8 by default); without FN (or with an empty one), family name
//   then given name of N.
// - Telephone lines go to the column of their type: CELL→移动, HOME→家庭, WORK or
//   VOICE→工作, FAX→传真 (with several types FAX, then CELL, HOME, WORK, VOICE), a
//   "TEL:" line without any parameter→其他; the first line of each column wins.
//   The other lines (a second line of a type, a line naming no type) then fill
//   the empty columns from 移动 on, in line order; what finds no column is dropped.
//   A "tel:" URI loses its scheme.
// - Backslash escapes are resolved in values that are not quoted-printable.
ContactRows ParseVCardLines(const VCardLines& store);

// Whether bytes look like a vCard file: its first non-blank line is BEGIN:VCARD.
bool looksLikeVCard(const QByteArray& head);

} // namespace Contacts
