#pragma once
// File helpers shared by string lists, streams and INI files: decoding of
// lines that may be Windows-1252 (files from older installations), and saves
// that never leave a half-written file behind.

#include <string>

namespace classes_io {

// Each LF-terminated line kept when it is valid UTF-8, otherwise read as Windows-1252.
std::string DecodeLines(const std::string& Bytes);

// Writes Data to a temporary file in the target's folder and renames it over
// the target (keeping the target's permissions). Returns 0 or the errno value.
int WriteFileAtomic(const std::string& FileName, const std::string& Data);

// Reads the whole file; false (errno set) when it cannot be read.
bool ReadFileBytes(const std::string& FileName, std::string& Data);

}  // namespace classes_io
