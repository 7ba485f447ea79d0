#pragma once
// What the playback path and the conversion dialog share: work files in the private
// temporary folder, RCP and G36 songs made Standard MIDI Files first (SMF Knife reads
// nothing else), the "SMFK:" option word and where its configuration file is.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/message_target.h"
#include "player/core/smfk/smfk_library.h"

namespace volta::core::smfk {

// The converter library's progress goes to the owner as this message (WM_USER + 4),
// lParam the address of its record: track, tracks, percent, user value.
inline constexpr std::uint32_t kRcpProgressMessage = 0x404;

// A new empty file of this process alone in a folder (mode 0600, a name no other player
// uses at the same time), removed when the object goes: converted songs are read once.
class WorkFile {
 public:
  WorkFile() = default;
  // Empty when the file cannot be made.
  WorkFile(const std::filesystem::path& folder, const std::string& prefix, const std::string& suffix);
  ~WorkFile();
  WorkFile(WorkFile&& other) noexcept : path_(std::exchange(other.path_, std::nullopt)) {}
  WorkFile& operator=(WorkFile&& other) noexcept;

  explicit operator bool() const { return path_.has_value(); }
  const std::filesystem::path& path() const { return *path_; }

 private:
  void remove();
  std::optional<std::filesystem::path> path_;
};
// The RCP or G36 song as a Standard MIDI File in `target` through the converter library,
// which tells its progress to the owner when there is one. A failed conversion leaves no file.
bool writeRcpAsSmf(const std::filesystem::path& song, const std::filesystem::path& target,
                   const platform::MessageTarget* owner = nullptr);

// The configuration named by the first option word beginning "SMFK:" (words are separated
// by blanks; a word beginning ";" ends them); none when no word asks for SMF Knife.
std::optional<std::string> configurationName(std::string_view options);
// The configuration file of that name in the folder, found whatever the case of its name.
std::filesystem::path configurationPath(const std::filesystem::path& folder, const std::string& name);
// The dialog's choice: the path as typed when a file is there, else the name in the folder.
std::filesystem::path chosenConfiguration(const std::string& typed, const std::filesystem::path& folder);

// SMF Knife on the calling thread, without a worker: progress reaches the owner as the
// worker's progress message (WM_USER, wParam 4, lParam percent) and never stops it.
std::int32_t convertNow(const SmfkLibrary& library, const platform::MessageTarget* owner,
                        const std::filesystem::path& source, const std::filesystem::path& output,
                        const std::filesystem::path& configuration);

}  // namespace volta::core::smfk
