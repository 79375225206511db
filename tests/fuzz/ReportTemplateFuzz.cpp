// Report templates and prepared reports: the first byte picks the reader.
#include "FuzzSupport.h"

#include "Classes.h"
#include "RP_Class.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzStartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    TMemoryStream s;
    s.WriteBuffer(data + 1, int64_t(size - 1));
    s.SetPosition(0);
    FuzzRead([&] {
        TrpReport report(nullptr);
        if (data[0] % 2 == 0)
            report.LoadFromStream(&s);
        else
            report.EMFPages->LoadFromStream(&s);
    });
    return 0;
}
