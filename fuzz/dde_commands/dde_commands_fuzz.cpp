// Transactions of three conversations against a small list: each line is one, its first
// byte choosing the conversation and whether it executes, requests or hangs up. The lock
// may only ever be held by a conversation that took it and has not hung up.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "player/core/dde/dde_commands.h"
#include "tests/player/core/dde/fake_dde_host.h"

namespace dde = volta::dde;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  dde::test::FakeDdeHost host;
  host.addSongs(3);
  host.isPlaying = size % 2 == 1;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (!input.empty()) {
    const std::size_t end = input.find('\n');
    const std::string_view line = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    if (line.empty()) continue;
    const auto selector = static_cast<std::uint8_t>(line[0]);
    const dde::Conversation conversation = 1 + selector % 3;
    const std::string_view text = line.substr(1);
    const auto before = host.lock;
    switch (selector / 3 % 3) {
      case 0:
        if (dde::execute(host, conversation, text) && before && *before != conversation) std::abort();
        break;
      case 1:
        if (dde::request(host, conversation, text) && host.lock != before) std::abort();
        break;
      default:
        dde::disconnected(host, conversation);
        if (host.lock == conversation) std::abort();
    }
    if (host.lock != before && before && host.lock) std::abort();  // never handed straight over
    host.calls.clear();
  }
  return 0;
}
