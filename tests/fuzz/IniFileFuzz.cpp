// Settings files: every read of a file holding the input.
#include "FuzzSupport.h"

#include "Classes.h"
#include "IniFiles.h"

#include <fstream>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/varnholt_fuzz_" + std::to_string(getpid()) + ".ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    FuzzRead([&] {
        TIniFile ini(path);
        TStringList sections, values;
        ini.ReadSections(&sections);
        for (int i = 0; i < sections.Count() && i < 20; ++i) {
            ini.ReadSectionValues(sections[i], &values);
            for (int k = 0; k < values.Count() && k < 20; ++k) {
                const std::string key = values.Names(k);
                ini.ReadString(sections[i], key, "");
                ini.ReadInteger(sections[i], key, 0);
                ini.ReadFloat(sections[i], key, 0);
            }
        }
        ini.ReadString("Main", "Width", "");
    });
    return 0;
}
