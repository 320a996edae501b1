#include "VCardWriter.h"

#include "CharacterTable.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

namespace {

QByteArray telephoneBytes(const QString& field)
{
    QString value = field;
    if (value.contains(u'\r') || value.contains(u'\n')) {
        value.replace(u"\r\n"_s, u" "_s);
        value.replace(u'\r', u' ');
        value.replace(u'\n', u' ');
    }
    // UTF-8, not the system code page: GBK bytes are often valid UTF-8 too ("转"
    // is D7 AA, also "ת"), so phones and our own reader would garble them.
    return value.toUtf8();
}

} // namespace

QByteArray VCardText(const ContactRows& rows, const CharacterTable& table)
{
    static const QByteArray prefixes[] = {"TEL;CELL:", "TEL;HOME:", "TEL;VOICE:", "TEL;FAX:", "TEL:"};
    QByteArray text;
    text.reserve(rows.size() * 128);
    for (const ContactRow& row : rows) {
        text += "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:";
        table.appendEncodedName(text, row[ContactRow::Name]);
        text += "\r\n";
        for (int column = ContactRow::Cell; column <= ContactRow::Tel; ++column) {
            const QString& field = row[column];
            if (field.isEmpty())
                continue;
            text += prefixes[column - ContactRow::Cell];
            text += telephoneBytes(field);
            text += "\r\n";
        }
        text += "END:VCARD\r\n";
    }
    return text;
}

bool WriteVCardFile(const QString& path, const ContactRows& rows, const CharacterTable& table, QString* error)
{
    const QByteArray text = VCardText(rows, table);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const qint64 oldSize = file.size();
    QByteArray bytes = text;
    if (oldSize > 0 && !text.isEmpty()) {
        // A file whose last line has no line end would run its last line and
        // our first into one ("END:VCARDBEGIN:VCARD"), spoiling both cards.
        QFile last(path);
        if (last.open(QIODevice::ReadOnly) && last.seek(oldSize - 1)) {
            const QByteArray end = last.read(1);
            if (end != "\n" && end != "\r")
                bytes.prepend("\r\n");
        }
    }
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    if (written) {
        file.close();
        return true;
    }
    if (error)
        *error = file.errorString();
    file.resize(oldSize);
    file.close();
    return false;
}

QString vcfMessageTitle()
{
    return u"转换为VCF文件"_s;
}

QString createdMessage(const QString& path)
{
    return path + u"已创建！"_s;
}

} // namespace Contacts
