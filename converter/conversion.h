#pragma once
// One conversion of an RCP or G36 song into a Standard MIDI File image: the song is
// played through the shared record rules as fast as its records allow, each source
// track into a track of its own, tempo changes into the conductor track.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "converter/smf_writer.h"
#include "rcp/interpreter.h"
#include "rcp/song.h"

namespace volta::converter {

// Who hears about progress: kind 0 nobody, 1 a platform message target, 2 a callback.
struct Notifier {
  int kind = 0;
  void* target = nullptr;
  std::uint32_t message = 0;
  std::int32_t userValue = 0;
};

class Conversion final : private rcp::Sink {
 public:
  static constexpr std::uint32_t kValidity = 0x55AA;
  // Records read in one conversion before the remaining tracks are cut short: nested
  // counted loops could otherwise make a small file expand without end.
  static constexpr std::uint64_t kRecordBudget = 1u << 20;

  // Converts `length` bytes at `image`, which stay the caller's; `readable` bytes
  // (>= length) may be read. Null when the image holds no song.
  static std::unique_ptr<Conversion> fromImage(const std::uint8_t* image, std::size_t length, std::size_t readable,
                                               rcp::Family family, const Notifier& notifier);
  // Reads and converts a file, chosen by its extension. Null on any failure.
  static std::unique_ptr<Conversion> fromFile(const char* fileName, const Notifier& notifier);

  bool valid() const { return validity_ == kValidity; }
  const ByteBuffer& smf() const { return smf_; }
  int originalFileType() const { return fileType_; }

  ~Conversion() override;
  Conversion(const Conversion&) = delete;
  Conversion& operator=(const Conversion&) = delete;

 private:
  explicit Conversion(const Notifier& notifier) : notifier_(notifier) {}
  bool run(const rcp::Image& image, rcp::Family family);
  void convertTrack(rcp::Interpreter& interpreter, int index);
  void playTrack(rcp::Interpreter& interpreter, rcp::Track& track, std::uint64_t& tick);
  void finishNotes(rcp::Interpreter& interpreter, rcp::Track& track, std::uint64_t tick);
  void notify(int index, int percent) const;

  void sendChannel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override;
  void sendExclusive(int port, const std::uint8_t* message, std::size_t length) override;
  void setTempo(std::uint32_t microsecondsPerQuarter) override;
  void comment(const std::uint8_t* text, std::size_t length) override;

  std::uint32_t validity_ = kValidity;
  Notifier notifier_;
  std::vector<std::uint8_t> owned_;  // the file image when the library read it
  std::unique_ptr<rcp::Song> song_;
  std::unique_ptr<rcp::Track> track_;
  SmfWriter writer_;
  ByteBuffer smf_;
  int fileType_ = 0;
};

// The converter's record rules.
rcp::Rules conversionRules();

}  // namespace volta::converter
