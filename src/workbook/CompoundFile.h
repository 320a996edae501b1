#pragma once

#include <QByteArray>
#include <QStringList>

namespace Xl {

// A minimal reader of OLE compound files (the container of .xls workbooks and
// of password-protected OOXML workbooks): enough to tell what a file is.
class CompoundFile
{
public:
    static bool hasSignature(const QByteArray& bytes);

    // Parses the directory. False when the file is damaged.
    bool parse(const QByteArray& bytes);
    QStringList streamNames() const { return m_names; }
    bool hasStream(const QString& name) const;
    // True for a BIFF workbook stream that starts with an encryption record.
    bool isEncryptedBiff() const { return m_encryptedBiff; }

private:
    QStringList m_names;
    bool m_encryptedBiff = false;
};

} // namespace Xl
