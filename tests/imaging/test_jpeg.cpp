#include "test_jpeg.h"

#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace voziroz::test {
namespace {

struct Errors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBack(j_common_ptr object) {
  auto* errors = reinterpret_cast<Errors*>(object->err);
  object->err->format_message(object, errors->message);
  std::longjmp(errors->jump, 1);
}

FilePtr Open(const std::filesystem::path& path, const char* mode) {
  FilePtr file = OpenFile(path, mode);
  if (!file) throw std::runtime_error("cannot open " + path.string());
  return file;
}

std::vector<std::uint8_t> MakeRows(int width, int height, const PixelSource& pixel, JpegKind kind) {
  std::vector<std::uint8_t> samples;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb color = pixel(x, y);
      if (kind == JpegKind::kGray) {
        samples.push_back(color.red);
      } else if (kind == JpegKind::kCmyk) {
        samples.insert(samples.end(), {static_cast<std::uint8_t>(255 - color.red),
                                       static_cast<std::uint8_t>(255 - color.green),
                                       static_cast<std::uint8_t>(255 - color.blue), 0});
      } else {
        samples.insert(samples.end(), {color.red, color.green, color.blue});
      }
    }
  }
  return samples;
}

void CopyTable(const JQUANT_TBL* table, std::array<std::uint16_t, 64>& out) {
  if (table == nullptr) return;
  std::copy(std::begin(table->quantval), std::end(table->quantval), out.begin());
}

}  // namespace

void WriteJpeg(const std::filesystem::path& path, int width, int height, const PixelSource& pixel,
               JpegKind kind) {
  std::vector<std::uint8_t> samples = MakeRows(width, height, pixel, kind);
  FilePtr file = Open(path, "wb");
  Errors errors;
  jpeg_compress_struct info{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_compress(&info);
    throw std::runtime_error(errors.message);
  }
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file.get());
  info.image_width = width;
  info.image_height = height;
  info.input_components = kind == JpegKind::kGray ? 1 : kind == JpegKind::kCmyk ? 4 : 3;
  info.in_color_space = kind == JpegKind::kGray   ? JCS_GRAYSCALE
                        : kind == JpegKind::kCmyk ? JCS_CMYK
                                                  : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (kind == JpegKind::kColorProgressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(width) * info.input_components;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = samples.data() + info.next_scanline * stride;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
}

DecodedJpeg ReadJpeg(const std::filesystem::path& path) {
  FilePtr file = Open(path, "rb");
  DecodedJpeg result;
  Errors errors;
  jpeg_decompress_struct info{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    throw std::runtime_error(errors.message);
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file.get());
  jpeg_read_header(&info, TRUE);
  result.components = info.num_components;
  result.progressive = info.progressive_mode;
  result.ycbcr = info.jpeg_color_space == JCS_YCbCr;
  CopyTable(info.quant_tbl_ptrs[0], result.luma_table);
  CopyTable(info.quant_tbl_ptrs[1], result.chroma_table);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  result.width = info.output_width;
  result.height = info.output_height;
  std::vector<std::uint8_t> row(static_cast<std::size_t>(info.output_width) * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (std::size_t i = 0; i < row.size(); i += 3) {
      result.pixels.push_back(Rgb{row[i], row[i + 1], row[i + 2]});
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return result;
}

std::vector<int> MarkersBeforeScan(const std::string& bytes) {
  std::vector<int> markers;
  std::size_t at = 0;
  while (at + 1 < bytes.size() && static_cast<std::uint8_t>(bytes[at]) == 0xFF) {
    const int marker = static_cast<std::uint8_t>(bytes[at + 1]);
    markers.push_back(marker);
    if (marker == 0xDA) break;  // start of scan
    if (marker == 0xD8) {
      at += 2;
      continue;
    }
    if (at + 3 >= bytes.size()) break;
    const std::size_t length =
        static_cast<std::uint8_t>(bytes[at + 2]) * 256u + static_cast<std::uint8_t>(bytes[at + 3]);
    at += 2 + length;
  }
  return markers;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

ScratchFolder::ScratchFolder() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "voziroz-imaging-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

int ColorDistance(Rgb a, Rgb b) {
  return std::max(
      {std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
}

}  // namespace voziroz::test
