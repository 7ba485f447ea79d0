# Writes OUTPUT, a C++ source holding the built-in WRD script (SCRIPT) and picture (PICTURE)
# as byte arrays.
function(byte_array variable file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
  set(${variable} "${bytes}" PARENT_SCOPE)
endfunction()
byte_array(script_bytes "${SCRIPT}")
byte_array(picture_bytes "${PICTURE}")
file(WRITE "${OUTPUT}.new"
"// Generated from player/resources/wrd by embed_resources.cmake; do not edit.
#include \"player/wrd/builtin_resources.h\"

namespace volta::wrd {
namespace {
const unsigned char kScript[] = {
${script_bytes}};
const std::uint8_t kPicture[] = {
${picture_bytes}};
}  // namespace

std::string_view builtInScript() {
  return {reinterpret_cast<const char*>(kScript), sizeof kScript};
}

std::span<const std::uint8_t> builtInPictureFile() {
  return kPicture;
}

}  // namespace volta::wrd
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
