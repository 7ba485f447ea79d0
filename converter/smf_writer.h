#pragma once
// Writes a format 1 Standard MIDI File: one buffer per track, a conductor track with
// the title, key and time signatures and every tempo change, then the file image.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace volta::converter {

// A byte buffer whose capacity is always a whole number of 64 KiB steps. Storage is
// left uninitialised, so that only the bytes written are ever touched.
class ByteBuffer {
 public:
  static constexpr std::size_t kGrowthStep = 65536;
  void append(const std::uint8_t* bytes, std::size_t count) {
    if (count == 0) return;
    if (size_ + count > capacity_) grow(size_ + count);
    std::memcpy(data_.get() + size_, bytes, count);
    size_ += count;
  }
  void push(std::uint8_t byte) {
    if (size_ == capacity_) grow(size_ + 1);
    data_[size_++] = byte;
  }
  // Puts `count` bytes before the present contents.
  void prepend(const std::uint8_t* bytes, std::size_t count);
  void patch32(std::size_t offset, std::uint32_t value);
  const std::uint8_t* data() const { return data_.get(); }
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }

 private:
  void grow(std::size_t needed);

  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

struct SongInfo {
  std::string title;
  int numerator = 4;
  int denominator = 4;
  std::uint8_t key = 0;
  std::uint16_t division = 48;
};

// Track chunks are written one after another straight into the file image; the
// header and the conductor track are put in front of them when the image is finished.
class SmfWriter {
 public:
  // The largest delta time a variable-length quantity holds.
  static constexpr std::uint64_t kMaxTime = 0x0FFFFFFF;

  // Starts the next track at time 0 on port 0.
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

  std::size_t trackCount() const { return trackCount_; }
  // Adds the header and the conductor track and hands over the image.
  ByteBuffer finish(const SongInfo& song);

 private:
  struct Tempo {
    std::uint32_t microseconds;
    std::uint64_t tick;
  };
  static std::size_t encode(std::uint64_t value, std::uint8_t* out);
  void event(const std::uint8_t* head, std::size_t length);
  void announcePort(int port);
  void quantity(std::uint64_t value);
  void openChunk();
  void writeConductor(const SongInfo& song);

  ByteBuffer image_;
  ByteBuffer* current_ = &image_;
  std::size_t chunkStart_ = 0;
  std::size_t trackCount_ = 0;
  std::uint64_t time_ = 0;
  std::uint64_t pending_ = 0;
  int port_ = 0;
  std::vector<Tempo> tempos_;
};

}  // namespace volta::converter
