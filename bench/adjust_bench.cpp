// The whole-image adjustment on a 4000 x 3000 image of three kinds (a grey radiograph, a colour
// photograph made in code, noise), for the table-only case and for a saturation and hue change.
// Beside it, each from cold caches and timed on this thread's CPU clock, best run of each:
//   memcpy of the image and a plain pass of three table look-ups per pixel (counters x_memcpy,
//   x_lookup; goal: the table-only case within 2 x the look-up pass);
//   BM_Peer: ImageMagick's `convert -limit thread 1 ... -modulate` on the same image as a PPM file,
//   CPU time of the child processes with file reading and writing subtracted (the same command
//   without -modulate), against our colour case (counter x_peer = peer time / ours; goal >= 3).
//   BM_PeerHsl: where the two models agree (grey at saturation 100, complementary hues at +-126),
//   how far ImageMagick's results are from ours: largest and mean channel difference, share of
//   equal channels; once through the dialog (tone table at its start values) and once through the
//   conversions alone (the selection's scale, whose neutral tone table is the identity).
// The peer runs only when /usr/bin/convert exists (override with the environment variable
// SUITE_PEER_CONVERT).
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "retouch/imaging/image_adjust.h"
#include "retouch/imaging/tone.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr size_t kPixels = size_t{kWidth} * kHeight;

enum Content { kRadiograph, kPhoto, kNoise };
const char* const kContentNames[] = {"radiograph", "photo", "noise"};

using bench::EvictCaches;
using bench::Image;
using bench::ThreadSeconds;

uint32_t Xorshift(uint32_t& s) {
  s ^= s << 13;
  s ^= s >> 17;
  s ^= s << 5;
  return s;
}

uint8_t Byte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); }

// Made in code, the same on every run.
void Fill(Image& image, Content content) {
  uint32_t seed = 2463534242u;
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* p = image.view().Row(y);
    for (int x = 0; x < kWidth; ++x, p += 3) {
      if (content == kNoise) {
        const uint32_t r = Xorshift(seed);
        p[0] = static_cast<uint8_t>(r);
        p[1] = static_cast<uint8_t>(r >> 8);
        p[2] = static_cast<uint8_t>(r >> 16);
        continue;
      }
      const double fx = x / static_cast<double>(kWidth), fy = y / static_cast<double>(kHeight);
      const double grain = static_cast<double>(Xorshift(seed) % 7) - 3.0;
      if (content == kRadiograph) {
        // A row of teeth: bright crowns over a darker jaw, with film grain.
        const double teeth = 0.5 + 0.5 * std::cos(fx * 2 * M_PI * 8);
        const double crown = std::exp(-std::pow((fy - 0.45) / 0.22, 2));
        const uint8_t v = Byte(40 + 150 * teeth * crown + 50 * fy + grain);
        p[0] = p[1] = p[2] = v;
      } else {
        // Sky, gums and teeth: smooth colour gradients with grain.
        const double blend = 0.5 + 0.5 * std::sin(fx * 7 + fy * 3);
        p[2] = Byte(200 * blend + 40 * fy + 30 + grain);
        p[1] = Byte(90 + 120 * fy * (1 - blend) + 60 * std::sin(fx * 13) + grain);
        p[0] = Byte(60 + 150 * (1 - fy) * blend + grain);
      }
    }
  }
}

double TimeOnce(const std::function<void()>& op) {
  EvictCaches();
  const double t0 = ThreadSeconds();
  op();
  benchmark::ClobberMemory();
  return ThreadSeconds() - t0;
}

struct Case {
  int a, b, c, d;
};
constexpr Case kTableOnly = {-20, 10, 50, 0};
constexpr Case kColour = {-20, 10, 30, 42};  // saturation x 1.4, hue +60 degrees

// The reference passes measured beside each case.
void PlainLookup(const uint8_t* table, const uint8_t* from, uint8_t* to, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) to[i] = table[from[i]];
}

void BM_Adjust(benchmark::State& state) {
  const Content content = static_cast<Content>(state.range(0));
  const Case k = state.range(1) ? kColour : kTableOnly;
  Image source(kWidth, kHeight), destination(kWidth, kHeight);
  Fill(source, content);
  std::vector<uint8_t> table(256);
  tone::BuildToneTable(table.data(), 140, 115);
  double best = 1e9, copyBest = 1e9, lookupBest = 1e9;
  for (auto _ : state) {
    copyBest = std::min(copyBest, TimeOnce([&] { std::memcpy(destination.bits(), source.bits(), source.bytes()); }));
    lookupBest = std::min(lookupBest, TimeOnce([&] {
      PlainLookup(table.data(), source.bits(), destination.bits(), source.bytes());
    }));
    const double t = TimeOnce([&] {
      dib::AdjustImage(source.view(), &destination.view(), k.a, k.b, k.c, k.d);
    });
    best = std::min(best, t);
    state.SetIterationTime(t);
  }
  state.SetLabel(std::string(kContentNames[content]) + (state.range(1) ? " colour" : " table only"));
  state.counters["best_ms"] = best * 1e3;
  state.counters["MP_per_s"] = static_cast<double>(kPixels) / best / 1e6;
  state.counters["x_memcpy"] = best / copyBest;
  state.counters["x_lookup"] = best / lookupBest;
}

// ---- The peer ----

std::string Convert() {
  const char* env = std::getenv("SUITE_PEER_CONVERT");
  return env && *env ? env : "/usr/bin/convert";
}

std::filesystem::path ScratchDir() {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("adjust_bench_" + std::to_string(std::hash<std::string>{}(std::to_string(ThreadSeconds()))));
  std::filesystem::create_directories(dir);
  return dir;
}

// The picture as a binary PPM (top row first, red-green-blue).
void WritePpm(const Image& image, const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << kWidth << ' ' << kHeight << "\n255\n";
  std::vector<char> row(static_cast<size_t>(kWidth) * 3);
  for (int y = 0; y < kHeight; ++y) {
    const uint8_t* p = image.view().Row(y);
    for (int x = 0; x < kWidth; ++x) {
      row[3 * x] = static_cast<char>(p[3 * x + 2]);
      row[3 * x + 1] = static_cast<char>(p[3 * x + 1]);
      row[3 * x + 2] = static_cast<char>(p[3 * x]);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

// Pixels of a PPM written by the peer, as blue-green-red rows top first; empty when unreadable.
std::vector<uint8_t> ReadPpm(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string magic;
  int w = 0, h = 0, max = 0;
  in >> magic >> w >> h >> max;
  in.get();
  if (magic != "P6" || w != kWidth || h != kHeight || max != 255) return {};
  std::vector<uint8_t> rgb(kPixels * 3);
  in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  if (!in) return {};
  for (size_t i = 0; i < kPixels; ++i) std::swap(rgb[3 * i], rgb[3 * i + 2]);
  return rgb;
}

double ChildSeconds() {
  rusage u;
  getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// CPU seconds of one single-threaded convert run with `operation` between reading and writing;
// negative when it failed.
double RunPeer(const std::filesystem::path& in, const std::filesystem::path& out, const std::string& operation) {
  const std::string command = Convert() + " -limit thread 1 '" + in.string() + "' " + operation + " -depth 8 '" +
                              out.string() + "'";
  const double t0 = ChildSeconds();
  if (std::system(command.c_str()) != 0) return -1;
  return ChildSeconds() - t0;
}

bool PeerAvailable() { return std::filesystem::exists(Convert()); }

void BM_Peer(benchmark::State& state) {
  if (!PeerAvailable()) {
    state.SkipWithError("no ImageMagick convert");
    return;
  }
  const Content content = static_cast<Content>(state.range(0));
  Image source(kWidth, kHeight), destination(kWidth, kHeight);
  Fill(source, content);
  const auto dir = ScratchDir();
  const auto in = dir / "in.ppm", out = dir / "out.ppm";
  WritePpm(source, in);
  double io = 1e9, modulate = 1e9, ours = 1e9;
  for (auto _ : state) {
    // -modulate brightness,saturation,hue in percent: 140 % saturation and +60 degrees (hue
    // 100 + 60 / 180 * 100), as our colour case (saturation 30: factor 179 / 128; hue +42 of 252).
    const double m = RunPeer(in, out, "-modulate 100,140,133.333");
    const double n = RunPeer(in, out, "");
    if (m < 0 || n < 0) {
      state.SkipWithError("convert failed");
      break;
    }
    modulate = std::min(modulate, m);
    io = std::min(io, n);
    ours = std::min(ours, TimeOnce([&] {
      dib::AdjustImage(source.view(), &destination.view(), kColour.a, kColour.b, kColour.c, kColour.d);
    }));
    state.SetIterationTime(ours);
  }
  std::filesystem::remove_all(dir);
  const double peer = std::max(modulate - io, 1e-9);
  state.SetLabel(kContentNames[content]);
  state.counters["peer_ms"] = peer * 1e3;
  state.counters["peer_io_ms"] = io * 1e3;
  state.counters["peer_MP_per_s"] = static_cast<double>(kPixels) / peer / 1e6;
  state.counters["ours_ms"] = ours * 1e3;
  state.counters["x_peer"] = peer / ours;
}

struct Difference {
  int largest = 0;
  double mean = 0;
  double equal = 0;  // share of channels that are the same
};

Difference Compare(const std::vector<uint8_t>& peer, const Image& ours) {
  Difference d;
  if (peer.empty()) {
    d.largest = -1;
    return d;
  }
  uint64_t sum = 0, same = 0;
  for (int y = 0; y < kHeight; ++y) {
    const uint8_t* p = ours.view().Row(y);
    const uint8_t* q = peer.data() + static_cast<size_t>(y) * kWidth * 3;
    for (int i = 0; i < kWidth * 3; ++i) {
      const int diff = std::abs(p[i] - q[i]);
      d.largest = std::max(d.largest, diff);
      sum += static_cast<uint64_t>(diff);
      same += diff == 0;
    }
  }
  d.mean = static_cast<double>(sum) / static_cast<double>(kPixels * 3);
  d.equal = static_cast<double>(same) / static_cast<double>(kPixels * 3);
  return d;
}

// range(0): content; range(1): 0 grey (saturation 100 / -modulate 100,0), 1 hue +126 (-modulate
// 100,100,200), 2 hue -126 (-modulate 100,100,0).
void BM_PeerHsl(benchmark::State& state) {
  if (!PeerAvailable()) {
    state.SkipWithError("no ImageMagick convert");
    return;
  }
  const Content content = static_cast<Content>(state.range(0));
  static const char* const kOperation[] = {"-modulate 100,0,100", "-modulate 100,100,200", "-modulate 100,100,0"};
  static const char* const kName[] = {"grey", "hue +126", "hue -126"};
  const int which = static_cast<int>(state.range(1));
  const int c = which == 0 ? 100 : 50, d = which == 0 ? 0 : (which == 1 ? 126 : -126);
  Image source(kWidth, kHeight), dialog(kWidth, kHeight), model(kWidth, kHeight);
  Fill(source, content);
  const auto dir = ScratchDir();
  const auto in = dir / "in.ppm", out = dir / "out.ppm";
  WritePpm(source, in);
  Difference viaDialog, viaModel;
  for (auto _ : state) {
    if (RunPeer(in, out, kOperation[which]) < 0) {
      state.SkipWithError("convert failed");
      break;
    }
    const std::vector<uint8_t> peer = ReadPpm(out);
    dib::AdjustImage(source.view(), &dialog.view(), 0, 0, c, d);
    const tone::Adjustment conversions = tone::MakeAdjustment(tone::kSelectionScale, 0, 0, c, d);
    for (int y = 0; y < kHeight; ++y)
      tone::AdjustPixels(conversions, source.view().Row(y), model.view().Row(y), kWidth);
    viaDialog = Compare(peer, dialog);
    viaModel = Compare(peer, model);
  }
  std::filesystem::remove_all(dir);
  state.SetLabel(std::string(kContentNames[content]) + " " + kName[which]);
  state.counters["dialog_max"] = viaDialog.largest;
  state.counters["dialog_mean"] = viaDialog.mean;
  state.counters["dialog_equal"] = viaDialog.equal;
  state.counters["model_max"] = viaModel.largest;
  state.counters["model_mean"] = viaModel.mean;
  state.counters["model_equal"] = viaModel.equal;
}

}  // namespace

BENCHMARK(BM_Adjust)
    ->ArgsProduct({{kRadiograph, kPhoto, kNoise}, {0, 1}})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Peer)->DenseRange(kRadiograph, kNoise)->Iterations(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerHsl)
    ->ArgsProduct({{kRadiograph, kPhoto, kNoise}, {0, 1, 2}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
