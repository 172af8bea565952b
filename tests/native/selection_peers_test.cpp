// Other TIFF readers judge the files we write: libtiff's tiffinfo and tiffdump read all three
// directories without a complaint, ImageMagick reads our exact pixels, the mask as a bilevel
// image and the thumbnail. And what those tools write is refused by our readers, whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/native/selection_test_support.h"

namespace {

using seltest::Image;

struct Output {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

Output RunTool(const std::string& command) {
  const std::string errFile = testing::TempDir() + "selection_peers_stderr";
  Output o;
  FILE* p = popen((command + " 2>" + errFile).c_str(), "r");
  if (!p) return o;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) o.out.append(buffer, n);
  o.status = pclose(p);
  o.err = Slurp(errFile);
  return o;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

bool Complains(const Output& o) {
  std::string all = o.out + o.err;
  for (char& c : all) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return all.find("warn") != std::string::npos || all.find("error") != std::string::npos;
}

std::string Save(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = testing::TempDir() + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path;
}

// Rows from the top, red, green, blue (or one grey byte per pixel).
std::string RgbOf(const Image& image) {
  std::string s;
  for (int y = 0; y < image.view.height; ++y) {
    for (int x = 0; x < image.view.width; ++x) {
      const uint32_t c = image.At(x, y);
      s += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8 & 0xFF), static_cast<char>(c >> 16)};
    }
  }
  return s;
}
std::string GreyOf(const Image& mask) {
  std::string s;
  for (int y = 0; y < mask.view.height; ++y)
    for (int x = 0; x < mask.view.width; ++x) s += static_cast<char>(mask.At(x, y) ? 255 : 0);
  return s;
}

bool ReadsAsSelection(const std::string& path) {
  const std::string bytes = Slurp(path);
  selfile::MemoryBytes b{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  selfile::Layout layout;
  return !bytes.empty() && selfile::ReadLayout(selfile::SourceOf(&b), &layout);
}

// Patches below and above the thumbnail's 30 rows, one byte wide and of odd widths.
constexpr int kSizes[][2] = {{9, 5}, {100, 7}, {1, 1}, {33, 40}, {257, 3}};

TEST(SelectionPeers, LibtiffReadsAllThreeDirectoriesWithoutAWarning) {
  for (const auto& s : kSizes) {
    SCOPED_TRACE(testing::Message() << s[0] << " x " << s[1]);
    const std::vector<uint8_t> file = seltest::FileOf(seltest::Patch(s[0], s[1]), seltest::Mask(s[0], s[1]));
    for (const auto& [name, bytes] : {std::pair{"ours_le.tif", file}, std::pair{"ours_be.tif", seltest::BigEndianTwin(file)}}) {
      const std::string path = Save(name, bytes);
      // -D reads and decodes every strip.
      const Output info = RunTool(std::string(TIFFINFO) + " -D " + path);
      EXPECT_EQ(info.status, 0) << info.err;
      EXPECT_FALSE(Complains(info)) << info.out << info.err;
      EXPECT_EQ(Count(info.out, "TIFF Directory at offset"), 3u) << info.out;
      const Output dump = RunTool(std::string(TIFFDUMP) + " " + path);
      EXPECT_EQ(dump.status, 0) << dump.err;
      EXPECT_FALSE(Complains(dump)) << dump.out << dump.err;
      EXPECT_EQ(Count(dump.out, "Directory "), 3u) << dump.out;
      EXPECT_EQ(Count(dump.out, " next 0 "), 1u) << dump.out;
    }
  }
}

TEST(SelectionPeers, ImageMagickReadsOurPixelsMaskAndThumbnail) {
  for (const auto& s : kSizes) {
    SCOPED_TRACE(testing::Message() << s[0] << " x " << s[1]);
    const Image patch = seltest::Patch(s[0], s[1]), mask = seltest::Mask(s[0], s[1]);
    const std::string path = Save("ours.tif", seltest::FileOf(patch, mask));
    const Output pixels = RunTool(std::string(CONVERT) + " '" + path + "[0]' -depth 8 rgb:-");
    EXPECT_EQ(pixels.err, "");
    EXPECT_TRUE(pixels.out == RgbOf(patch)) << "patch pixels differ";
    const Output type = RunTool(std::string(IDENTIFY) + " -format '%[type]' '" + path + "[1]'");
    EXPECT_EQ(type.out, "Bilevel") << type.err;
    const Output bits = RunTool(std::string(CONVERT) + " '" + path + "[1]' -depth 8 gray:-");
    EXPECT_EQ(bits.err, "");
    EXPECT_TRUE(bits.out == GreyOf(mask)) << "mask differs";
    Image thumb(40, 30);
    uint8_t rgb[selfile::kThumbBytes];
    ASSERT_TRUE(selfile::MakeThumbnail(patch.view, mask.view, rgb));
    const Output t = RunTool(std::string(CONVERT) + " '" + path + "[2]' -depth 8 rgb:-");
    EXPECT_EQ(t.err, "");
    EXPECT_TRUE(t.out == std::string(reinterpret_cast<const char*>(rgb), sizeof rgb)) << "thumbnail differs";
  }
}

TEST(SelectionPeers, FilesOfOtherWritersAreRefused) {
  const std::string ours = Save("ours.tif", seltest::FileOf(seltest::Patch(40, 30), seltest::Mask(40, 30)));
  ASSERT_TRUE(ReadsAsSelection(ours));
  const std::string dir = testing::TempDir();
  const std::string im = std::string(CONVERT) + " -size 40x30 ";
  const struct {
    const char* name;
    std::string command;
  } writers[] = {
      {"plain.tif", im + "gradient:red-blue -depth 8 -compress none"},
      {"lzw.tif", im + "gradient:red-blue -depth 8 -compress lzw"},
      {"palette.tif", im + "xc:red -type palette -compress none"},
      {"deep.tif", im + "gradient:red-blue -depth 16 -compress none"},
      {"pages.tif", im + "xc:red xc:blue xc:green -depth 8 -compress none"},
      {"bilevel.tif", im + "xc:black -type bilevel -compress none"},
      {"resaved.tif", std::string(CONVERT) + " " + ours + " -compress none"},
      {"tiffcp.tif", std::string(TIFFCP) + " " + ours},
      {"tiffcp_be.tif", std::string(TIFFCP) + " -B " + ours},
      {"tiffcp_strips.tif", std::string(TIFFCP) + " -r 1 " + ours},
  };
  for (const auto& w : writers) {
    const std::string path = dir + w.name;
    std::remove(path.c_str());
    const Output made = RunTool(w.command + " " + path);
    ASSERT_EQ(made.status, 0) << w.command << ": " << made.err;
    EXPECT_FALSE(ReadsAsSelection(path)) << w.name;
  }
}

}  // namespace
