// Test helpers: JPEG files made and read with libjpeg directly (independently of the code under
// test), and a scratch folder that is removed afterwards. Every helper throws
// std::runtime_error with libjpeg's message on failure.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace voziroz::test {

using PixelSource = std::function<Rgb(int x, int y)>;

enum class JpegKind { kColor, kGray, kColorProgressive, kCmyk };

// Writes a JPEG of quality 95 (gray takes the red channel; CMYK stores 255 - R, G, B and 0).
void WriteJpeg(const std::filesystem::path& path, int width, int height, const PixelSource& pixel,
               JpegKind kind = JpegKind::kColor);

struct DecodedJpeg {
  int width = 0;
  int height = 0;
  int components = 0;                            // in the file
  bool progressive = false;                      // per the frame header
  bool ycbcr = false;                            // colour stored as YCbCr
  std::array<std::uint16_t, 64> luma_table{};    // quantisation table 0, natural order
  std::array<std::uint16_t, 64> chroma_table{};  // quantisation table 1 (zero when absent)
  std::vector<Rgb> pixels;                       // decoded to RGB, row by row
  Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

DecodedJpeg ReadJpeg(const std::filesystem::path& path);

// The marker codes of the file's segments before the first scan (0xD8 for SOI, 0xC2 for SOF2...).
std::vector<int> MarkersBeforeScan(const std::string& bytes);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// fopen; null when the file cannot be opened.
inline FilePtr OpenFile(const std::filesystem::path& path, const char* mode) {
  return FilePtr(std::fopen(path.c_str(), mode));
}

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The largest difference between two colours' channels.
int ColorDistance(Rgb a, Rgb b);

}  // namespace voziroz::test
