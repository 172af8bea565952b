// The selection library's bookkeeping that needs no file system: names and numbers of the saved
// files, the list file's text, paths that must fit the library's 256-byte buffers, the order of
// the list, and placing a loaded selection on the image with the outline traced around its mask.
// Portable: no windows.h.
//
// Numbering: a save takes one more than the highest number the list file's counter, any line of
// the list file or any file in the folder knows of, so a lost or garbled list file never leads
// to an existing file being overwritten and a deleted number is not given out again. Numbers
// stop at 999 (three digits): a library that has used them all refuses further saves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "retouch/imaging/dib_view.h"

namespace sellib {

constexpr int kMaxNumber = 999;
constexpr size_t kPathBuffer = 256;  // bytes, with the terminating NUL
constexpr char kFolderName[] = "SELDIB\\";
constexpr char kListFileName[] = "seldib.lst";
constexpr char kNewListFile[] = "000\r\n";
// The list files the library writes are a few kilobytes; more is read as no list at all.
constexpr size_t kMaxListFileBytes = size_t{1} << 20;

// The number of a name "seld_NNN.tif" (three digits, letters in any case), else 0.
int NumberOfName(std::string_view name);
// "seld_%03d.tif".
std::string NameOfNumber(int number);

// The next number to save with the list file's text and the names of the folder's files; 0 when
// every number up to kMaxNumber has been used.
int NextNumber(std::string_view listFile, const std::vector<std::string>& folderNames);

// The list file after a save of `number`: the counter line, the previous lines, the new name.
std::string ListFileAfterSave(std::string_view listFile, int number);

// folder + name into a buffer of kPathBuffer bytes; false, with the buffer untouched, when the
// path does not fit (a cut path names another file).
bool JoinPath(std::string_view folder, std::string_view name, char* out);

// The order of the list: by file name, letters compared without case, then byte by byte.
bool NameBefore(std::string_view a, std::string_view b);

struct Point {
  int32_t x;
  int32_t y;
};

// A loaded selection placed on the image: where the mask's top-left pixel lands, and the outline
// around the mask's black pixels in image coordinates, closed (last point = first).
struct Placement {
  int32_t left = 0;
  int32_t top = 0;
  std::vector<Point> outline;
};

// Centres the 24-bit mask at (x, y), moved so that it lies inside the image with a pixel to
// spare, and traces its outline. False when the mask does not fit inside the image so, has no
// black pixel, or the trace runs into a dead end or past its bound.
bool PlaceSelection(const dib::View& mask, int32_t imageWidth, int32_t imageHeight, int32_t x, int32_t y,
                    Placement* out);

// The outline of the black pixels, mask coordinates from the top: 8-neighbour tracing from the
// first black pixel (top row first, left to right); every neighbour outside the mask is white.
bool TraceMask(const dib::View& mask, std::vector<Point>* outline);

}  // namespace sellib
