#pragma once
// Shared start of the fuzz programs: an offscreen application for the readers
// that draw or measure text, US regional settings, and the input as a text.

#include "SysUtils.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

inline void FuzzStartApplication() {
    static bool started = false;
    if (started) return;
    started = true;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    FormatSettings = USFormatSettings();
}

inline std::string FuzzText(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Runs one reader: the errors it reports are its answer to bad input; any
// other failure (a crash, a sanitizer finding) is what the fuzzer looks for.
template <typename F>
void FuzzRead(F&& read) {
    try {
        read();
    } catch (const std::exception&) {}
}
