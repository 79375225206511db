# Writes a C++ source holding every file of RESOURCE_DIR (but the help topics and the report
# template sources) as bytes, with a lookup table by path relative to RESOURCE_DIR
# ("forms/Main.txt"). A file of the same path under GENERATED_DIR, made by the build, is taken
# in place of the source one.
# Run as: cmake -DRESOURCE_DIR=... [-DGENERATED_DIR=...] -DOUTPUT=... -P EmbedResources.cmake
file(GLOB_RECURSE files RELATIVE ${RESOURCE_DIR} ${RESOURCE_DIR}/*)
# Help topics are compiled into the help file instead.
list(FILTER files EXCLUDE REGEX "^help/")
# Template sources reach the program inside the main window's definition.
list(FILTER files EXCLUDE REGEX "^reports/")
list(SORT files)
set(body "// Generated from the resources folder; do not edit.\n#include <cstddef>\n#include <string_view>\n\n")
set(table "")
set(index 0)
foreach(f IN LISTS files)
  set(path ${RESOURCE_DIR}/${f})
  if(GENERATED_DIR AND EXISTS ${GENERATED_DIR}/${f})
    set(path ${GENERATED_DIR}/${f})
  endif()
  file(READ ${path} hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND body "static const unsigned char res${index}[] = {${bytes}0};\n")
  string(APPEND table "    {\"${f}\", {reinterpret_cast<const char*>(res${index}), ${size}}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "\nstruct TEmbeddedResource { const char* Name; std::string_view Data; };\n")
string(APPEND body "extern const TEmbeddedResource g_EmbeddedResources[] = {\n${table}    {nullptr, {}}\n};\n")
file(WRITE ${OUTPUT}.tmp "${body}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
