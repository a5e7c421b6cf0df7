#include "imaging/jpeg_codec.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <stdexcept>
#include <string>
#include <vector>

namespace voziroz {
namespace {

static_assert(kMaxJpegSide == JPEG_MAX_DIMENSION);

constexpr int kGrayLevels = 236;
constexpr int kQuality = 90;

// libjpeg reports errors through a callback that must not return. Ours jumps back to the
// Guarded call that entered the library, which throws; the frames jumped over are libjpeg's
// and a lambda without destructors.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpBack(j_common_ptr object) {
  auto* errors = reinterpret_cast<JpegErrors*>(object->err);
  object->err->format_message(object, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings are not printed. Data that ends before the image does is an error: libjpeg would
// otherwise make up the missing rows, and a few bytes that claim a huge image would cost its
// whole size in memory and time.
void OnMessage(j_common_ptr object, int level) {
  const int code = object->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) JumpBack(object);
}

jpeg_error_mgr* InstallErrors(JpegErrors& errors) {
  jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JumpBack;
  errors.manager.emit_message = OnMessage;
  return &errors.manager;
}

template <typename Step>
void Guarded(JpegErrors& errors, Step&& step) {
  if (setjmp(errors.jump) != 0) throw std::runtime_error(errors.message);
  step();
}

// Releases a libjpeg object (compress or decompress) however the function ends. Safe on an
// object whose creation failed, as long as it was zeroed first.
struct JpegObjectGuard {
  j_common_ptr object;
  ~JpegObjectGuard() { jpeg_destroy(object); }
};

void RefuseHugeSource(const jpeg_decompress_struct& info) {
  if (std::int64_t{info.image_width} * info.image_height <= kMaxSourcePixels) return;
  throw std::runtime_error("Image is too large: " + std::to_string(info.image_width) + " x " +
                           std::to_string(info.image_height) + " pixels");
}

void StartDecoding(jpeg_decompress_struct& info, std::FILE* source) {
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = kMaxCodecMemory;
  jpeg_stdio_src(&info, source);
  jpeg_read_header(&info, TRUE);
  RefuseHugeSource(info);
  info.scale_num = 1;
  info.scale_denom = 1;
  info.do_block_smoothing = TRUE;
  info.dct_method = JDCT_ISLOW;
  if (info.out_color_space == JCS_GRAYSCALE) {
    info.quantize_colors = TRUE;
    info.desired_number_of_colors = kGrayLevels;
  } else {
    info.out_color_space = JCS_RGB;
  }
  jpeg_start_decompress(&info);
}

void ReadRgbRows(jpeg_decompress_struct& info, Bitmap& image) {
  std::array<JSAMPROW, 4> rows{};  // rec_outbuf_height is at most the largest sampling factor
  while (info.output_scanline < info.output_height) {
    const auto first = static_cast<std::int32_t>(info.output_scanline);
    const int count = std::min<int>(
        {info.rec_outbuf_height, static_cast<int>(rows.size()), image.height() - first});
    for (int i = 0; i < count; ++i) rows[i] = image.Row(first + i);
    jpeg_read_scanlines(&info, rows.data(), count);
  }
}

// Palette indices row by row, widened to grey pixels through the quantiser's colour map.
void ReadQuantisedGrayRows(jpeg_decompress_struct& info, Bitmap& image, JSAMPROW indices) {
  const JSAMPLE* grays = info.colormap[0];
  while (info.output_scanline < info.output_height) {
    std::uint8_t* out = image.Row(static_cast<std::int32_t>(info.output_scanline));
    jpeg_read_scanlines(&info, &indices, 1);
    for (std::int32_t x = 0; x < image.width(); ++x) {
      const JSAMPLE gray = grays[indices[x]];
      out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = gray;
    }
  }
}

void StartEncoding(jpeg_compress_struct& info, const Bitmap& image, std::FILE* target) {
  jpeg_create_compress(&info);
  info.mem->max_memory_to_use = kMaxCodecMemory;
  jpeg_stdio_dest(&info, target);
  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, kQuality, TRUE);
  jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
}

void WriteRows(jpeg_compress_struct& info, const Bitmap& image) {
  while (info.next_scanline < info.image_height) {
    // libjpeg's row type is not const, but the encoder only reads the rows.
    JSAMPROW row =
        const_cast<std::uint8_t*>(image.Row(static_cast<std::int32_t>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
}

}  // namespace

Bitmap DecodeJpeg(std::FILE* source) {
  JpegErrors errors;
  jpeg_decompress_struct info{};
  info.err = InstallErrors(errors);
  JpegObjectGuard guard{reinterpret_cast<j_common_ptr>(&info)};
  Guarded(errors, [&] { StartDecoding(info, source); });

  Bitmap image(static_cast<std::int32_t>(info.output_width),
               static_cast<std::int32_t>(info.output_height));
  if (info.quantize_colors) {
    std::vector<JSAMPLE> indices(info.output_width);
    Guarded(errors, [&] { ReadQuantisedGrayRows(info, image, indices.data()); });
  } else {
    Guarded(errors, [&] { ReadRgbRows(info, image); });
  }
  Guarded(errors, [&] { jpeg_finish_decompress(&info); });
  return image;
}

void EncodeJpeg(const Bitmap& image, std::FILE* target) {
  JpegErrors errors;
  jpeg_compress_struct info{};
  info.err = InstallErrors(errors);
  JpegObjectGuard guard{reinterpret_cast<j_common_ptr>(&info)};
  Guarded(errors, [&] {
    StartEncoding(info, image, target);
    WriteRows(info, image);
    jpeg_finish_compress(&info);
  });
}

}  // namespace voziroz
