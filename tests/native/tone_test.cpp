// Tone table, colour conversions and the adjustment kernel, against the plain transcription in
// tone_reference.h over every input.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "retouch/imaging/tone.h"
#include "tests/native/tone_reference.h"

namespace {

TEST(ToneTable, NeutralValuesOfBothScales) {
  uint8_t table[256];
  // The dialog's start values: slope 192/191, so 191 .. 254 rise by one.
  tone::BuildToneTable(table, 128, 128);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], i >= 191 && i <= 254 ? i + 1 : i) << i;
  // The selection's neutral values are the identity.
  tone::BuildToneTable(table, 127, 127);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(table[i], i) << i;
}

TEST(ToneTable, MatchesTheFormulaAndClampsForEveryBarPosition) {
  uint8_t table[256];
  for (int scale : {tone::kImageScale, tone::kSelectionScale})
    for (int a = -100; a <= 100; a += 5)
      for (int b = -100; b <= 100; b += 5) {
        const int p = (100 - a) * scale / 200, q = (100 - b) * scale / 200;
        tone::BuildToneTable(table, p, q);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(table[i], tone_reference::ToneEntry(i, p, q)) << p << ' ' << q << ' ' << i;
      }
  // Parameters far outside the bars still give bytes.
  tone::BuildToneTable(table, 2000000000, -2000000000);
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[255], 0);
  tone::BuildToneTable(table, -2000000000, 2000000000);
  EXPECT_EQ(table[0], 255);
  EXPECT_EQ(table[255], 255);
}

TEST(RgbToHls, EveryColourAsTheFormulas) {
  for (int c = 0; c < (1 << 24); ++c) {
    const int r = c >> 16, g = (c >> 8) & 255, b = c & 255;
    int h, l, s, rh, rl, rs;
    tone::RgbToHls(r, g, b, &h, &l, &s);
    tone_reference::RgbToHls(r, g, b, rh, rl, rs);
    if (h != rh || l != rl || s != rs) FAIL() << r << ' ' << g << ' ' << b << ": " << h << ' ' << l << ' ' << s;
  }
}

TEST(HlsToRgb, EveryInputAsTheFormulasAndInRange) {
  for (int h = 0; h <= 252; ++h)
    for (int l = 0; l <= 252; ++l)
      for (int s = 0; s <= 252; ++s) {
        int r, g, b, rr, rg, rb;
        tone::HlsToRgb(h, l, s, &r, &g, &b);
        tone_reference::HlsToRgb(h, l, s, rr, rg, rb);
        if (r != rr || g != rg || b != rb || r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255)
          FAIL() << h << ' ' << l << ' ' << s << ": " << r << ' ' << g << ' ' << b;
      }
}

TEST(Conversions, GreysPrimariesAndOutOfRangeInputs) {
  struct Case {
    int r, g, b, h, l, s;
  };
  const Case cases[] = {
      {0, 0, 0, 168, 0, 0},          {255, 255, 255, 168, 252, 0},  {255, 128, 0, 21, 126, 252},
      {255, 0, 0, 0, 126, 252},      {0, 255, 0, 84, 126, 252},     {0, 0, 255, 168, 126, 252},
      {255, 255, 0, 42, 126, 252},   {0, 255, 255, 126, 126, 252},  {255, 0, 255, 210, 126, 252},
  };
  for (const Case& c : cases) {
    int h, l, s, r, g, b;
    tone::RgbToHls(c.r, c.g, c.b, &h, &l, &s);
    EXPECT_EQ(h, c.h) << c.r << ' ' << c.g << ' ' << c.b;
    EXPECT_EQ(l, c.l) << c.r << ' ' << c.g << ' ' << c.b;
    EXPECT_EQ(s, c.s) << c.r << ' ' << c.g << ' ' << c.b;
    tone::HlsToRgb(h, l, s, &r, &g, &b);
    EXPECT_EQ(r, c.r);
    EXPECT_EQ(g, c.g);
    EXPECT_EQ(b, c.b);
  }
  int h, l, s, r, g, b, r2, g2, b2;
  // Lightness has 253 levels: a mid grey comes back one lower.
  tone::RgbToHls(128, 128, 128, &h, &l, &s);
  EXPECT_EQ(h, 168);
  EXPECT_EQ(l, 126);
  EXPECT_EQ(s, 0);
  tone::HlsToRgb(h, l, s, &r, &g, &b);
  EXPECT_EQ(r, 127);
  EXPECT_EQ(g, 127);
  EXPECT_EQ(b, 127);
  tone::RgbToHls(-5, 300, 0, &h, &l, &s);  // clamped to (0, 255, 0)
  EXPECT_EQ(h, 84);
  EXPECT_EQ(s, 252);
  tone::HlsToRgb(-1, 100, 200, &r, &g, &b);  // a turn is 252
  tone::HlsToRgb(251, 100, 200, &r2, &g2, &b2);
  EXPECT_EQ(r, r2);
  EXPECT_EQ(g, g2);
  EXPECT_EQ(b, b2);
  tone::HlsToRgb(505, 999, 999, &r, &g, &b);  // l and s clamped to 252: white
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 255);
  EXPECT_EQ(b, 255);
}

struct KernelCase {
  int scale, a, b, c, d;
  int step;  // 1: every colour; otherwise every step-th (odd, so every channel value occurs)
};

// Every colour through the kernel and through the reference, in runs as an image row would be.
void ExpectKernelAsReference(const KernelCase& k) {
  const tone::Adjustment adj = tone::MakeAdjustment(k.scale, k.a, k.b, k.c, k.d);
  constexpr int kRun = 4096;
  std::vector<uint8_t> in(3 * kRun), out(3 * kRun);
  for (int base = 0; base < (1 << 24) / k.step; base += kRun) {
    for (int i = 0; i < kRun; ++i) {
      const int c = (base + i) * k.step;
      in[3 * i] = static_cast<uint8_t>(c);
      in[3 * i + 1] = static_cast<uint8_t>(c >> 8);
      in[3 * i + 2] = static_cast<uint8_t>(c >> 16);
    }
    tone::AdjustPixels(adj, in.data(), out.data(), kRun);
    for (int i = 0; i < kRun; ++i) {
      int r = in[3 * i + 2], g = in[3 * i + 1], b = in[3 * i];
      tone_reference::Adjust(k.scale, k.a, k.b, k.c, k.d, r, g, b);
      if (out[3 * i] != b || out[3 * i + 1] != g || out[3 * i + 2] != r)
        FAIL() << "colour " << std::hex << (base + i) * k.step << std::dec << " scale " << k.scale << " (" << k.a << ' ' << k.b
               << ' ' << k.c << ' ' << k.d << ")";
    }
  }
}

TEST(AdjustKernel, EveryColourAsTheReference) {
  const KernelCase cases[] = {
      {tone::kImageScale, 0, 0, 50, 0, 7},        // table only
      {tone::kImageScale, -30, 20, 0, 126, 1},    // saturation doubled, half a turn
      {tone::kImageScale, 40, -60, 85, -127, 7},  // less saturation, hue the other way
      {tone::kSelectionScale, 25, -15, 20, 9, 1},
      {tone::kSelectionScale, -100, 100, 100, -3, 7},
  };
  for (const KernelCase& k : cases) ExpectKernelAsReference(k);
}

TEST(AdjustKernel, SaturationAndHueEdges) {
  // Saturation 100 gives grey; hue +126 and -126 are both half a turn from the start values.
  const tone::Adjustment grey = tone::MakeAdjustment(tone::kImageScale, 0, 0, 100, 0);
  const tone::Adjustment plus = tone::MakeAdjustment(tone::kImageScale, 0, 0, 50, 126);
  const tone::Adjustment minus = tone::MakeAdjustment(tone::kImageScale, 0, 0, 50, -126);
  const uint8_t colours[][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {30, 200, 90}, {17, 17, 17}};
  for (const auto& c : colours) {
    uint8_t g[3], p[3], m[3];
    tone::AdjustPixel(grey, c, g);
    EXPECT_EQ(g[0], g[1]);
    EXPECT_EQ(g[1], g[2]);
    tone::AdjustPixel(plus, c, p);
    tone::AdjustPixel(minus, c, m);
    EXPECT_EQ(0, std::memcmp(p, m, 3));
  }
  uint8_t out[3];
  const uint8_t red[3] = {0, 0, 255};
  tone::AdjustPixel(plus, red, out);  // red turns cyan
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[1], 255);
  EXPECT_EQ(out[2], 0);
  // Values outside the bars are clamped, not wrapped.
  const tone::Adjustment wild = tone::MakeAdjustment(tone::kImageScale, 0, 0, 1000, -1000);
  const tone::Adjustment edge = tone::MakeAdjustment(tone::kImageScale, 0, 0, 100, -127);
  for (const auto& c : colours) {
    uint8_t w[3], e[3];
    tone::AdjustPixel(wild, c, w);
    tone::AdjustPixel(edge, c, e);
    EXPECT_EQ(0, std::memcmp(w, e, 3));
  }
}

}  // namespace
