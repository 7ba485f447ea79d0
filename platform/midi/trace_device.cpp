#include "platform/midi/trace_device.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/clock.h"
#include "platform/midi/message_assembler.h"

namespace volta::platform::midi {
namespace {

// One open trace file, shared by the ports that write to it.
class TraceFile {
 public:
  static std::shared_ptr<TraceFile> acquire(const std::string& path) {
    static std::mutex registryMutex;
    static std::weak_ptr<TraceFile> current;
    std::lock_guard lock(registryMutex);
    if (auto file = current.lock(); file && file->path_ == path) return file;
    std::FILE* handle = std::fopen(path.c_str(), "w");
    if (!handle) return nullptr;
    auto file = std::shared_ptr<TraceFile>(new TraceFile(path, handle));
    current = file;
    return file;
  }

  ~TraceFile() { std::fclose(handle_); }

  void write(char port, const std::uint8_t* bytes, std::size_t count) {
    std::string line = prefix(port);
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < count; ++i) {
      line += ' ';
      line += kHex[bytes[i] >> 4];
      line += kHex[bytes[i] & 15];
    }
    emit(line);
  }

  void writeReset(char port) { emit(prefix(port) + " RESET"); }

 private:
  TraceFile(std::string path, std::FILE* handle)
      : path_(std::move(path)), handle_(handle), origin_(clock().nowMicroseconds()) {}

  std::string prefix(char port) const { return std::to_string(clock().nowMicroseconds() - origin_) + ' ' + port; }

  void emit(const std::string& line) {
    std::lock_guard lock(mutex_);
    std::fputs(line.c_str(), handle_);
    std::fputc('\n', handle_);
    std::fflush(handle_);  // appended at once: the log must survive a crash
  }

  std::string path_;
  std::FILE* handle_;
  std::uint64_t origin_;
  std::mutex mutex_;
};

class TraceDevice final : public OutputDevice {
 public:
  TraceDevice(std::shared_ptr<TraceFile> file, char port) : file_(std::move(file)), port_(port) {}

  SendResult sendShort(std::uint32_t message) override {
    const ShortMessage unpacked = unpackShortMessage(message);
    file_->write(port_, unpacked.bytes, unpacked.count);
    return SendResult::Ok;
  }

  SendResult sendLong(const std::uint8_t* bytes, std::size_t count) override {
    file_->write(port_, bytes, count);
    return SendResult::Ok;
  }

  void reset() override { file_->writeReset(port_); }

 private:
  std::shared_ptr<TraceFile> file_;
  char port_;
};

class NullDevice final : public OutputDevice {
 public:
  SendResult sendShort(std::uint32_t) override { return SendResult::Ok; }
  SendResult sendLong(const std::uint8_t*, std::size_t) override { return SendResult::Ok; }
  void reset() override {}
};

class TraceBackend final : public OutputBackend {
 public:
  void enumerate(std::vector<OutputDeviceEntry>& list) override {
    const char* path = std::getenv(kTraceEnvironmentVariable);
    if (!path || !*path) return;
    std::string file(path);
    list.push_back({"Trace", DeviceKind::Trace, [file](int port) { return openTraceDevice(file, port); }});
  }
};

}  // namespace

std::unique_ptr<OutputDevice> openTraceDevice(const std::string& path, int port) {
  if (port < 0 || port > 2) return nullptr;
  auto file = TraceFile::acquire(path);
  if (!file) return nullptr;
  return std::make_unique<TraceDevice>(std::move(file), static_cast<char>('A' + port));
}

std::shared_ptr<OutputBackend> traceBackend() {
  return std::make_shared<TraceBackend>();
}

std::unique_ptr<OutputDevice> openNullDevice() {
  return std::make_unique<NullDevice>();
}

}  // namespace volta::platform::midi
