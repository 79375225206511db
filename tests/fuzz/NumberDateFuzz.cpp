// Number and date texts: parsing, and the input used as a format.
#include "FuzzSupport.h"

#include "SysUtils.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FormatSettings = USFormatSettings();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzText(data, size);
    long double x = 0;
    double d = 0;
    int n = 0;
    TDateTime dt = 0;
    TryStrToFloat(text, x);
    TryStrToFloat(text, d);
    TryStrToInt(text, n);
    TryStrToDate(text, dt);
    FuzzRead([&] { StrToDate(text); });
    FuzzRead([&] { FormatFloat(text, 1234.5678); });
    FuzzRead([&] { FormatFloat(text, -0.004); });
    FuzzRead([&] { FormatDateTime(text, 45000.75); });
    FuzzRead([&] { Format(text, {1, 2.5, "s", int64_t(-7)}); });
    return 0;
}
