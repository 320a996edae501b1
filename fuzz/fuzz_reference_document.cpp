// Method 6 reads a reference document the user picks: any bytes give a name
// per listed file (or the unreadable message), never a crash.
#include "FuzzSupport.h"

#include "rename/FillNewName.h"
#include "rename/RenameMethod.h"
#include "rename/RenameOptions.h"

using namespace Qt::Literals::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = Fuzz::writeScratch(Fuzz::bytes(data, size), ".txt");
    const QStringList names = {u"a.txt"_s, u"照片.jpg"_s, u"noext"_s, u".hidden"_s};
    Rename::RenameOptions options;
    options.referenceDocument.ReferenceDocumentPath = path;
    for (int mode = 0; mode < 3; ++mode) {
        options.referenceDocument.ChkFore = mode == 1;
        options.referenceDocument.ChkBack = mode == 2;
        const Rename::NewNameResult result =
            Rename::FillNewName(names, Rename::RenameMethod::ReferenceDocument, options);
        FUZZ_CHECK(result.names.size() == names.size());
    }
    return 0;
}
