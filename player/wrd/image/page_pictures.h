#pragma once
// MAG and PHO pictures drawn straight onto the screen's graphics pages and palette banks.

#include <cstdint>
#include <filesystem>
#include <span>

#include "player/wrd/image/indexed_image.h"
#include "player/wrd/image/mag_decoder.h"
#include "player/wrd/surface.h"

namespace volta::wrd::image {

// A graphics page as a place for pictures.
class SurfaceTarget final : public ImageTarget {
 public:
  explicit SurfaceTarget(Surface& surface) : surface_(surface) {}
  int width() const override { return Surface::width(); }
  int height() const override { return Surface::height(); }
  void writeSpan(int x, int y, std::span<const std::uint8_t> pixels) override;

 private:
  Surface& surface_;
};

// As the ImageTarget forms, with the palette going into `bank`.
bool drawMag(std::span<const std::uint8_t> file, Surface& page, PaletteBank& bank, const MagRequest& request,
             MagPlacement* placement = nullptr);
bool loadMag(const std::filesystem::path& path, Surface& page, PaletteBank& bank, const MagRequest& request,
             MagPlacement* placement = nullptr);
bool loadPho(const std::filesystem::path& path, Surface& page);

}  // namespace volta::wrd::image
