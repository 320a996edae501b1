#pragma once

#include <QString>

namespace Xl {

// The outcome of a workbook operation that can fail: a short Chinese text for
// the user and a technical detail (file, part, library message) for the log.
struct WorkbookError
{
    enum class Code
    {
        None,
        NotFound,         // no file at the path
        ReadFailed,       // the file exists but cannot be read
        NotAWorkbook,     // neither a zip package nor a compound file
        Corrupt,          // damaged package or malformed XML
        Unsafe,           // path tricks, DTDs or entity declarations
        TooLarge,         // inflated size or entry count above the caps
        Encrypted,        // protected by an opening password
        Unsupported,      // a format this engine cannot read or write
        ConverterMissing, // ssconvert is not installed
        ConversionFailed, // ssconvert failed
        TooManyRows,      // more rows than the target format holds
        TooManyColumns,   // more columns than the target format holds
        WriteFailed,      // saving failed; the original file is untouched
        InvalidName,      // a sheet name Excel would refuse
        NameTaken,        // a sheet name already used in the workbook
        LastSheet,        // the last (visible) sheet cannot be deleted
        NoSuchSheet,
        InvalidArgument,
    };

    Code code = Code::None;
    QString message;
    QString detail;

    bool ok() const { return code == Code::None; }
    explicit operator bool() const { return !ok(); }

    // An error with the standard user text of `code`.
    static WorkbookError make(Code code, const QString& detail = {});
    // The standard user text of a code.
    static QString messageFor(Code code);

    // "message：detail" (or the message alone), for one-line reports.
    QString toString() const;
};

// Stores `e` in `*out` when `out` is given; returns false so callers can
// `return fail(error, ...)`.
bool fail(WorkbookError* out, const WorkbookError& e);
bool fail(WorkbookError* out, WorkbookError::Code code, const QString& detail = {});

} // namespace Xl
