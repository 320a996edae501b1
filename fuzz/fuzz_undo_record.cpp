// The undo record reader: whatever a record holds, parsing, the checks of
// each entry and the folders the question names never fail, and a record
// written back from the entries reads as the same entries.
#include "FuzzSupport.h"

#include "execute/UndoLogDocument.h"
#include "execute/UndoRename.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using Execute::UndoLogDocument;
    const UndoLogDocument document = UndoLogDocument::parse(Fuzz::bytes(data, size));
    for (const Execute::UndoEntry& entry : document.entries())
        (void)UndoLogDocument::entryProblem(entry);
    (void)Execute::undoQuestion(document);

    const UndoLogDocument again =
        UndoLogDocument::parse(UndoLogDocument::serialize(document.entries(), document.isUtf8()));
    FUZZ_CHECK(again.entries().size() == document.entries().size());
    for (qsizetype k = 0; k < document.entries().size(); ++k) {
        FUZZ_CHECK(again.entries().at(k).currentPath == document.entries().at(k).currentPath);
        FUZZ_CHECK(again.entries().at(k).oldPath == document.entries().at(k).oldPath);
    }
    return 0;
}
