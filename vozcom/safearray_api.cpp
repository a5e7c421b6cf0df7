// SAFEARRAYs of VARIANT elements. The header is followed by one bound per dimension, stored
// last dimension first as the standard does; the elements are one calloc block in which the
// first index varies fastest.
#include <cstdlib>
#include <limits>

#include "vozcom/c_boundary.h"

namespace {

std::size_t HeaderSize(UINT dims) {
  return sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND);
}

// Bound of dimension `d` (0 = first).
const SAFEARRAYBOUND& BoundOf(const SAFEARRAY* array, UINT d) {
  return array->rgsabound[array->cDims - 1 - d];
}

std::size_t ElementCount(const SAFEARRAY* array) {
  std::size_t count = 1;
  for (UINT d = 0; d < array->cDims; ++d) count *= BoundOf(array, d).cElements;
  return count;
}

VARIANT* Elements(SAFEARRAY* array) {
  return static_cast<VARIANT*>(array->pvData);
}

HRESULT BoundOfDimension(SAFEARRAY* array, UINT dim, LONG* bound, bool upper) {
  if (!array || !bound) return E_INVALIDARG;
  if (dim < 1 || dim > array->cDims) return DISP_E_BADINDEX;
  const SAFEARRAYBOUND& b = BoundOf(array, dim - 1);
  *bound =
      upper ? static_cast<LONG>(b.lLbound + static_cast<LONGLONG>(b.cElements) - 1) : b.lLbound;
  return S_OK;
}

}  // namespace

extern "C" {

VZ_API SAFEARRAY* vz_safearray_create(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds) {
  if (vt != VT_VARIANT || dims == 0 || dims > 64 || !bounds) return nullptr;
  std::size_t count = 1;
  for (UINT d = 0; d < dims; ++d) {
    const std::size_t n = bounds[d].cElements;
    if (n != 0 && count > std::numeric_limits<ULONG>::max() / n) return nullptr;
    count *= n;
  }
  auto* array = static_cast<SAFEARRAY*>(std::calloc(1, HeaderSize(dims)));
  if (!array) return nullptr;
  array->cDims = static_cast<USHORT>(dims);
  array->fFeatures = FADF_HAVEVARTYPE | FADF_VARIANT;
  array->cbElements = sizeof(VARIANT);
  for (UINT d = 0; d < dims; ++d) array->rgsabound[dims - 1 - d] = bounds[d];
  array->pvData = std::calloc(count == 0 ? 1 : count, sizeof(VARIANT));  // all VT_EMPTY
  if (!array->pvData) {
    std::free(array);
    return nullptr;
  }
  return array;
}

VZ_API HRESULT vz_safearray_destroy(SAFEARRAY* array) {
  if (!array) return S_OK;
  if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  const std::size_t count = ElementCount(array);
  for (std::size_t i = 0; i < count; ++i) vz_variant_clear(&Elements(array)[i]);
  std::free(array->pvData);
  std::free(array);
  return S_OK;
}

VZ_API HRESULT vz_safearray_copy(SAFEARRAY* array, SAFEARRAY** copy) {
  if (!copy) return E_POINTER;
  *copy = nullptr;
  if (!array) return S_OK;
  SAFEARRAYBOUND bounds[64];
  for (UINT d = 0; d < array->cDims; ++d) bounds[d] = BoundOf(array, d);
  SAFEARRAY* made = vz_safearray_create(VT_VARIANT, array->cDims, bounds);
  if (!made) return E_OUTOFMEMORY;
  const std::size_t count = ElementCount(array);
  for (std::size_t i = 0; i < count; ++i) {
    const HRESULT copied = vz_variant_copy(&Elements(made)[i], &Elements(array)[i]);
    if (FAILED(copied)) {
      vz_safearray_destroy(made);
      return copied;
    }
  }
  *copy = made;
  return S_OK;
}

VZ_API UINT vz_safearray_get_dim(SAFEARRAY* array) {
  return array ? array->cDims : 0;
}

VZ_API HRESULT vz_safearray_get_lbound(SAFEARRAY* array, UINT dim, LONG* bound) {
  return BoundOfDimension(array, dim, bound, false);
}

VZ_API HRESULT vz_safearray_get_ubound(SAFEARRAY* array, UINT dim, LONG* bound) {
  return BoundOfDimension(array, dim, bound, true);
}

VZ_API HRESULT vz_safearray_ptr_of_index(SAFEARRAY* array, const LONG* indices, void** element) {
  if (!array || !indices || !element) return E_INVALIDARG;
  std::size_t offset = 0;
  std::size_t stride = 1;
  for (UINT d = 0; d < array->cDims; ++d) {
    const SAFEARRAYBOUND& b = BoundOf(array, d);
    const LONGLONG position = static_cast<LONGLONG>(indices[d]) - b.lLbound;
    if (position < 0 || position >= static_cast<LONGLONG>(b.cElements)) return DISP_E_BADINDEX;
    offset += static_cast<std::size_t>(position) * stride;
    stride *= b.cElements;
  }
  *element = &Elements(array)[offset];
  return S_OK;
}

VZ_API HRESULT vz_safearray_get_element(SAFEARRAY* array, const LONG* indices, void* value) {
  void* element = nullptr;
  const HRESULT found = vz_safearray_ptr_of_index(array, indices, &element);
  if (FAILED(found)) return found;
  if (!value) return E_INVALIDARG;
  auto* out = static_cast<VARIANT*>(value);
  vz_variant_init(out);
  return vz_variant_copy(out, static_cast<VARIANT*>(element));
}

VZ_API HRESULT vz_safearray_put_element(SAFEARRAY* array, const LONG* indices, const void* value) {
  void* element = nullptr;
  const HRESULT found = vz_safearray_ptr_of_index(array, indices, &element);
  if (FAILED(found)) return found;
  if (!value) return E_INVALIDARG;
  return vz_variant_copy(static_cast<VARIANT*>(element), static_cast<const VARIANT*>(value));
}

}  // extern "C"
