// BSTRs: a 4-byte byte count, then the UTF-16 characters, then a NUL; the BSTR points to the
// first character. One malloc block, freed from its start.
#include <cstdlib>
#include <cstring>

#include "vozcom/c_boundary.h"
#include "vozcom/unicode.h"

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

BSTR Allocate(const OLECHAR* text, UINT length) {
  if (length > (UINT32_MAX - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR)) return nullptr;
  const std::uint32_t bytes = length * sizeof(OLECHAR);
  auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  std::memcpy(block, &bytes, kPrefix);
  auto* chars = reinterpret_cast<OLECHAR*>(block + kPrefix);
  if (text)
    std::memcpy(chars, text, bytes);
  else
    std::memset(chars, 0, bytes);
  chars[length] = 0;
  return chars;
}

}  // namespace

extern "C" {

VZ_API BSTR vz_bstr_alloc(const OLECHAR* text) {
  if (!text) return nullptr;
  UINT length = 0;
  while (text[length] != 0) ++length;
  return Allocate(text, length);
}

VZ_API BSTR vz_bstr_alloc_len(const OLECHAR* text, UINT length) {
  return Allocate(text, length);
}

VZ_API BSTR vz_bstr_from_utf8(const char* text) {
  if (!text) return nullptr;
  try {
    const std::u16string wide = voziroz::Utf8ToUtf16(text);
    return Allocate(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<UINT>(wide.size()));
  } catch (...) {
    return nullptr;
  }
}

VZ_API UINT vz_bstr_len(BSTR text) {
  if (!text) return 0;
  std::uint32_t bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - kPrefix, kPrefix);
  return bytes / sizeof(OLECHAR);
}

VZ_API char* vz_bstr_to_utf8(BSTR text) {
  try {
    return voziroz::MallocCopy(voziroz::Utf16ToUtf8(voziroz::BstrView(text)));
  } catch (...) {
    return nullptr;
  }
}

VZ_API void vz_bstr_free(BSTR text) {
  if (text) std::free(reinterpret_cast<unsigned char*>(text) - kPrefix);
}

VZ_API void vz_free(void* memory) {
  std::free(memory);
}

}  // extern "C"
