# Writes OUTPUT, a C++ source that holds the built-in module definition texts as
# byte arrays. TEXTS lists "id=file" pairs in load order, separated by "|";
# the files are read from SOURCE_DIR.
string(REPLACE "|" ";" texts "${TEXTS}")
set(arrays "")
set(table "")
foreach(item IN LISTS texts)
  string(REPLACE "=" ";" parts "${item}")
  list(GET parts 0 id)
  list(GET parts 1 name)
  file(READ "${SOURCE_DIR}/${name}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(REGEX REPLACE "(('[^']+',){24})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const char kText${id}[] = {\n${bytes}};\n")
  string(APPEND table "      {${id}, \"${name}\", {kText${id}, sizeof kText${id}}},\n")
endforeach()
file(WRITE "${OUTPUT}.new"
"// Generated from player/resources/modules by embed_texts.cmake; do not edit.
#include \"player/core/builtin_definitions.h\"

namespace volta::core {
namespace {
${arrays}}  // namespace

std::span<const BuiltInText> builtInDefinitionTexts() {
  static const BuiltInText texts[] = {
${table}  };
  return texts;
}

}  // namespace volta::core
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
