// Decoding speed of the WRD pictures: a full-screen MAG must decode well within a display tick.

#include <benchmark/benchmark.h>

#include "player/wrd/image/gif_decoder.h"
#include "player/wrd/image/mag_decoder.h"
#include "player/wrd/image/pho_decoder.h"
#include "tests/player/wrd/image/picture_writers.h"

namespace {

using namespace volta::wrd::image;

const IndexedImage& fullScreen() {
  static const IndexedImage picture = test::samplePicture(640, 400, 1);
  return picture;
}

void BM_DecodeMag640x400(benchmark::State& state) {
  const test::Bytes file = test::encodeMag(fullScreen(), 0, 0, {});
  BufferTarget page(640, 480);
  Rgb12Palette palette{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(drawMag(file, page, palette, MagRequest{}));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_DecodeMag640x400)->Unit(benchmark::kMillisecond);

void BM_DecodePho640x400(benchmark::State& state) {
  IndexedImage picture = fullScreen();
  for (auto& pixel : picture.pixels)
    pixel &= 7;
  const test::Bytes file = test::writePho(picture);
  BufferTarget page(640, 480);
  for (auto _ : state) {
    placeImage(decodePho(file), page, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DecodePho640x400)->Unit(benchmark::kMillisecond);

void BM_DecodeGif640x480(benchmark::State& state) {
  test::GifContent gif;
  gif.width = 640;
  gif.height = 480;
  gif.globalTable = test::colourRamp(256);
  const IndexedImage picture = test::samplePicture(640, 480, 2);
  gif.pixels = picture.pixels;
  const test::Bytes file = test::encodeGif(gif);
  GifImage image;
  for (auto _ : state) {
    benchmark::DoNotOptimize(decodeGif(file, image));
  }
}
BENCHMARK(BM_DecodeGif640x480)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
