#include "Resources.h"

#include "Exceptions.h"

struct TEmbeddedResource {
    const char* Name;
    std::string_view Data;
};
extern const TEmbeddedResource g_EmbeddedResources[];

namespace {
const TEmbeddedResource* Lookup(const std::string& name) {
    for (const TEmbeddedResource* r = g_EmbeddedResources; r->Name; ++r)
        if (name == r->Name) return r;
    return nullptr;
}
}  // namespace

std::string_view FindResource(const std::string& name) {
    const TEmbeddedResource* r = Lookup(name);
    if (!r) throw Exception("Resource not found: " + name);
    return r->Data;
}

bool ResourceExists(const std::string& name) { return Lookup(name) != nullptr; }

std::vector<std::string> ResourceNames() {
    std::vector<std::string> names;
    for (const TEmbeddedResource* r = g_EmbeddedResources; r->Name; ++r) names.push_back(r->Name);
    return names;
}
