// Pictures and icons: the first byte picks the reader, the rest is the file.
#include "FuzzSupport.h"

#include "Classes.h"
#include "Graphics.h"

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
        switch (data[0] % 3) {
        case 0: {
            TBitmap b;
            b.LoadFromStream(&s);
            break;
        }
        case 1: {
            TIcon i;
            i.LoadFromStream(&s);
            break;
        }
        default: {
            TPicture p;
            p.ReadData(&s);
            break;
        }
        }
    });
    return 0;
}
