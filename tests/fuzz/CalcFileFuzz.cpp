// Calculator files and the update page's facts: the shell's text readers.
#include "FuzzSupport.h"

#include "CalcFile.h"
#include "Classes.h"
#include "HttpClient.h"
#include "WebFileInfo.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzStartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzText(data, size);
    FuzzRead([&] { ParseCalculatorFile(text, USFormatSettings()); });
    FuzzRead([&] { SplitGridLine(text); });
    FuzzRead([&] {
        TWebFileInfo info(nullptr);
        TStringList lines;
        lines.SetText(text);
        info.ParseInfo(&lines);
        info.IsNewerVersion();
        info.DownloadFileName();
    });
    FuzzRead([&] { ParseInfoDate(text); });
    FuzzRead([&] { ParseURL(text); });
    return 0;
}
