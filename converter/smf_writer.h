#pragma once
// Writes a format 1 Standard MIDI File: one buffer per track, a conductor track with
// the title, key and time signatures and every tempo change, then the file image.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace volta::converter {

// A byte buffer whose capacity is always a whole number of 64 KiB steps.
class ByteBuffer {
 public:
  static constexpr std::size_t kGrowthStep = 65536;
  void append(const std::uint8_t* bytes, std::size_t count);
  void push(std::uint8_t byte) { append(&byte, 1); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::vector<std::uint8_t>& bytes() { return bytes_; }
  std::size_t size() const { return bytes_.size(); }

 private:
  std::vector<std::uint8_t> bytes_;
};

struct SongInfo {
  std::string title;
  int numerator = 4;
  int denominator = 4;
  std::uint8_t key = 0;
  std::uint16_t division = 48;
};

class SmfWriter {
 public:
  // The largest delta time a variable-length quantity holds.
  static constexpr std::uint64_t kMaxTime = 0x0FFFFFFF;

  // Starts the next track buffer at time 0 on port 0.
  void startTrack();
  // Moves the current time forward; earlier times are ignored.
  void setTime(std::uint64_t tick);
  std::uint64_t time() const { return time_; }

  void channel(int port, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  void exclusive(int port, const std::uint8_t* message, std::size_t length);
  void meta(std::uint8_t type, const std::uint8_t* data, std::size_t length);
  void text(std::uint8_t type, const std::string& text);  // with its terminating zero byte
  void tempo(std::uint32_t microsecondsPerQuarter);
  void endTrack();

  std::size_t trackCount() const { return tracks_.size(); }
  // Builds the conductor track and the file image; the track buffers are released.
  std::vector<std::uint8_t> finish(const SongInfo& song);

 private:
  struct Tempo {
    std::uint32_t microseconds;
    std::uint64_t tick;
  };
  void writeDelta();
  void announcePort(int port);
  void quantity(std::uint64_t value);
  void writeConductor(const SongInfo& song);

  std::vector<ByteBuffer> tracks_;
  ByteBuffer* current_ = nullptr;
  std::uint64_t time_ = 0;
  std::uint64_t pending_ = 0;
  int port_ = 0;
  std::vector<Tempo> tempos_;
};

}  // namespace volta::converter
