// Report expressions and scripts: the input as an expression, then as a script.
#include "FuzzSupport.h"

#include "Classes.h"
#include "RP_Class.h"
#include "RP_Context.h"
#include "RP_Intrp.h"
#include "RP_Pars.h"
#include "RP_StdLib.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzStartApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzText(data, size);
    TrpReport report(nullptr);
    FuzzRead([&] { report.Context().Parser().Calc(text); });
    FuzzRead([&] {
        TStringList memo, script, errors;
        memo.SetText(text);
        report.Context().Interpreter().CompileScript(&memo, &script, &errors);
        // Scripts that compile may run: their loops are bounded by the interpreter.
        if (errors.Count() == 0 && size < 200) report.Context().Interpreter().RunScript(&script);
    });
    return 0;
}
