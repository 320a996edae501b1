// The blank-line cleaner runs on any text file of a folder: any bytes are
// cleaned without a crash, cleaning twice changes nothing more, and the file
// version gives the same bytes as the one in memory.
#include "FuzzSupport.h"

#include "textfiles/BlankLines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    qint64 removed = 0;
    const QByteArray once = TextFiles::cleanBlankLines(input, &removed);
    FUZZ_CHECK(removed >= 0);
    // Cleaning is done once and for all, as long as the cleaned text is read
    // in the same encoding: dropping a blank first line can bring bytes to the
    // front that look like a byte order mark (UTF-16's, or UTF-8's, after which
    // a line of spaces counts as blank).
    auto mark = [](const QByteArray& text) {
        if (text.startsWith("\xEF\xBB\xBF"))
            return 8;
        if (text.startsWith("\xFF\xFE") || text.startsWith("\xFE\xFF"))
            return 16;
        return 0;
    };
    if (mark(input) == mark(once)) {
        qint64 again = -1;
        FUZZ_CHECK(TextFiles::cleanBlankLines(once, &again) == once);
        FUZZ_CHECK(again == 0);
    }

    const QString path = Fuzz::writeScratch(input, ".txt");
    const TextFiles::BlankLineResult result =
        TextFiles::RemoveBlankLines(path, TextFiles::BackupPolicy::Delete);
    FUZZ_CHECK(result.cleaned);
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    FUZZ_CHECK(file.readAll() == once);
    return 0;
}
