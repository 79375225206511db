// Build step: reads the report template sources, writes each as a template
// stream with the engine's own writer, and puts the streams into the main
// window's definition as the reports' "ReportForm" blocks.
//
// Usage: RP_MakeTemplates <definition in> <definition out> <template source>...

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "RP_TemplateText.h"
#include "RP_Utils.h"

namespace {

std::string ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + name);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The "ReportForm" block as the report's DefineProperties reads it: the
// format number, the template's length and its bytes, in hex lines.
std::string ReportFormBlock(TrpReport& report, const std::string& indent) {
    TMemoryStream templ;
    report.SaveToStream(&templ);
    TMemoryStream block;
    WriteIntegerToStream(&block, rpCurrentTemplateVersion);
    WriteIntegerToStream(&block, int32_t(templ.GetSize()));
    templ.SetPosition(0);
    block.CopyFrom(&templ, templ.GetSize());

    static const char kHex[] = "0123456789ABCDEF";
    std::string out = indent + "StoreInDFM = True\n" + indent + "ReportForm = {";
    const uint8_t* bytes = block.Memory();
    for (int64_t i = 0; i < block.GetSize(); ++i) {
        if (i % 32 == 0) out += "\n" + indent + "  ";
        out += kHex[bytes[i] >> 4];
        out += kHex[bytes[i] & 15];
    }
    return out + "}\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <definition in> <definition out> <template source>...\n", argv[0]);
        return 2;
    }
    try {
        std::map<std::string, std::string> blocks;  // report name -> its ReportForm lines
        for (int i = 3; i < argc; ++i) {
            TrpReport report(nullptr);
            std::string name;
            try {
                name = rpReadTemplateText(report, ReadFile(argv[i]));
            } catch (const Exception& e) {
                throw std::runtime_error(std::string(argv[i]) + ": " + e.Message);
            }
            if (blocks.count(name)) throw std::runtime_error(std::string(argv[i]) + ": a second template for " + name);
            blocks[name] = ReportFormBlock(report, "    ");
        }

        // Each block goes before the "end" of its report's object.
        std::istringstream in(ReadFile(argv[1]));
        std::ostringstream out;
        const std::regex object(R"(^(\s*)object (\w+): TrpReport\s*$)");
        std::string line, pendingName, pendingIndent;
        while (std::getline(in, line)) {
            std::smatch m;
            std::string bare = line;
            if (!bare.empty() && bare.back() == '\r') bare.pop_back();
            if (pendingName.empty() && std::regex_match(bare, m, object) && blocks.count(m[2])) {
                pendingName = m[2];
                pendingIndent = m[1];
            } else if (!pendingName.empty() && bare == pendingIndent + "end") {
                out << blocks[pendingName];
                blocks.erase(pendingName);
                pendingName.clear();
            }
            out << line << "\n";
        }
        if (!blocks.empty()) throw std::runtime_error("the window definition has no report " + blocks.begin()->first);

        const std::string result = out.str();
        std::ifstream old(argv[2], std::ios::binary);
        if (old) {
            std::ostringstream s;
            s << old.rdbuf();
            if (s.str() == result) return 0;
        }
        std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
        file << result;
        if (!file) throw std::runtime_error(std::string("cannot write ") + argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "RP_MakeTemplates: %s\n", e.what());
        return 1;
    }
    return 0;
}
