// Window definitions: the text parser, then the reader creating components.
#include "FuzzSupport.h"

#include "Classes.h"
#include "FormReader.h"
#include "FormText.h"
#include "Forms.h"
#include "Main.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzStartApplication();
    RegisterMainWindowClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzText(data, size);
    FuzzRead([&] { ParseFormText(text); });
    FuzzRead([&] {
        TForm form(nullptr);
        ReadComponentFromText(&form, text);
    });
    return 0;
}
