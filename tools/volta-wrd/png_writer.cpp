#include "tools/volta-wrd/png_writer.h"

#include <zlib.h>

#include <array>
#include <fstream>
#include <string_view>

namespace volta::tools {

namespace {

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendChunk(std::vector<std::uint8_t>& out, std::string_view type, std::span<const std::uint8_t> data) {
  appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const auto covered = std::span(out).subspan(start);
  appendBigEndian(out, static_cast<std::uint32_t>(::crc32(0, covered.data(), static_cast<uInt>(covered.size()))));
}

// The image data as one zlib stream at the best compression: WRD screens are large areas
// of few colours, which shrink a hundredfold.
std::vector<std::uint8_t> deflated(std::span<const std::uint8_t> raw) {
  uLongf size = ::compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> out(size);
  if (::compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK) return {};
  out.resize(size);
  return out;
}

}  // namespace

std::vector<std::uint8_t> encodeIndexedPng(int width, int height, std::span<const std::uint8_t> pixels,
                                           std::span<const std::uint32_t> palette) {
  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  appendBigEndian(header, static_cast<std::uint32_t>(width));
  appendBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 3, 0, 0, 0});
  appendChunk(png, "IHDR", header);
  std::vector<std::uint8_t> colours;
  for (std::uint32_t c : palette.first(std::min<std::size_t>(palette.size(), 256)))
    colours.insert(colours.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                   static_cast<std::uint8_t>(c)});
  appendChunk(png, "PLTE", colours);
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height) * (static_cast<std::size_t>(width) + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const auto row =
        pixels.subspan(static_cast<std::size_t>(y) * static_cast<std::size_t>(width), static_cast<std::size_t>(width));
    raw.insert(raw.end(), row.begin(), row.end());
  }
  const std::vector<std::uint8_t> data = deflated(raw);
  if (data.empty()) return {};
  appendChunk(png, "IDAT", data);
  appendChunk(png, "IEND", {});
  return png;
}

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace volta::tools
