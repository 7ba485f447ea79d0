#include "player/wrd/image/page_pictures.h"

#include <algorithm>

#include "player/wrd/image/pho_decoder.h"

namespace volta::wrd::image {

void SurfaceTarget::writeSpan(int x, int y, std::span<const std::uint8_t> pixels) {
  std::copy(pixels.begin(), pixels.end(), surface_.row(y) + x);
}

bool drawMag(std::span<const std::uint8_t> file, Surface& page, PaletteBank& bank, const MagRequest& request,
             MagPlacement* placement) {
  SurfaceTarget target(page);
  return drawMag(file, target, bank.entries, request, placement);
}

bool loadMag(const std::filesystem::path& path, Surface& page, PaletteBank& bank, const MagRequest& request,
             MagPlacement* placement) {
  SurfaceTarget target(page);
  return loadMag(path, target, bank.entries, request, placement);
}

bool loadPho(const std::filesystem::path& path, Surface& page) {
  SurfaceTarget target(page);
  return loadPho(path, target);
}

}  // namespace volta::wrd::image
