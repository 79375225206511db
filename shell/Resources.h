#pragma once
// Files of the resources folder, embedded in the program at build time.

#include <string>
#include <string_view>
#include <vector>

// The bytes of resource `name` ("forms/Main.txt"); raises Exception when absent.
std::string_view FindResource(const std::string& name);
bool ResourceExists(const std::string& name);
std::vector<std::string> ResourceNames();
