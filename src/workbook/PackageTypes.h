#pragma once

#include <QString>

namespace Xl::Types {

// Relationship types (the transitional namespace; strict workbooks use their
// own base, which Workbook::relTypeBase() gives).
inline const QString transitionalRelBase =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
inline const QString strictRelBase =
    QStringLiteral("http://purl.oclc.org/ooxml/officeDocument/relationships/");

inline const QString mainNamespace =
    QStringLiteral("http://schemas.openxmlformats.org/spreadsheetml/2006/main");

// Content types.
inline const QString worksheet =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
inline const QString sharedStrings =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
inline const QString styles =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml");
inline const QString xlsxMain =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
inline const QString xlsmMain = QStringLiteral("application/vnd.ms-excel.sheet.macroEnabled.main+xml");
inline const QString xltxMain =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml");
inline const QString xltmMain = QStringLiteral("application/vnd.ms-excel.template.macroEnabled.main+xml");
inline const QString xlsbMain = QStringLiteral("application/vnd.ms-excel.sheet.binary.macroEnabled.main");
inline const QString externalLink =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.externalLink+xml");
inline const QString relationships =
    QStringLiteral("application/vnd.openxmlformats-package.relationships+xml");
inline const QString extendedProperties =
    QStringLiteral("application/vnd.openxmlformats-officedocument.extended-properties+xml");

} // namespace Xl::Types
