// The C entry points of libmorph. No exception leaves them.

#include <new>

#include "converter/conversion.h"
#include "converter/morph.h"

namespace {

using volta::converter::Conversion;
using volta::converter::Notifier;

Conversion* objectOf(void* object) {
  auto* conversion = static_cast<Conversion*>(object);
  return conversion != nullptr && conversion->valid() ? conversion : nullptr;
}

template <typename Make>
void* guarded(Make make) {
  try {
    return make().release();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

extern "C" {

void* morphConvertFile(const char* fileName, int notifyKind, void* target, uint32_t message, int32_t userValue) {
  const Notifier notifier{notifyKind, target, message, userValue};
  return guarded([&] { return Conversion::fromFile(fileName, notifier); });
}

void* morphConvertFileFromBuffer(const void* image, uint32_t length, int sourceType, int notifyKind, void* target,
                                 uint32_t message, int32_t userValue) {
  const auto* bytes = static_cast<const uint8_t*>(image);
  volta::rcp::Family family{};
  if (sourceType == MORPH_SOURCE_RECOGNISE) {
    if (!volta::rcp::recognise(bytes, length, family)) return nullptr;
  } else if (sourceType == MORPH_SOURCE_RCP || sourceType == MORPH_SOURCE_RCP2) {
    family = volta::rcp::Family::Rcp;
  } else if (sourceType == MORPH_SOURCE_G36) {
    family = volta::rcp::Family::G36;
  } else {
    return nullptr;
  }
  const Notifier notifier{notifyKind, target, message, userValue};
  return guarded([&] { return Conversion::fromImage(bytes, length, length, family, notifier); });
}

void morphDeleteObject(void* object) {
  delete objectOf(object);
}

const uint8_t* morphGetSMF(void* object) {
  const Conversion* conversion = objectOf(object);
  return conversion ? conversion->smf().data() : nullptr;
}

uint32_t morphGetSMFLength(void* object) {
  const Conversion* conversion = objectOf(object);
  return conversion ? static_cast<uint32_t>(conversion->smf().size()) : 0;
}

int morphGetOriginalFileType(void* object) {
  const Conversion* conversion = objectOf(object);
  return conversion ? conversion->originalFileType() : 0;
}

int morphGetVersionMajor(void) {
  return 1;
}

int morphGetVersionMinor(void) {
  return 6;
}

const char* morphGetCopyright(void) {
  return "morph: RCP and G36 to Standard MIDI File converter, version 1.6";
}

}  // extern "C"
