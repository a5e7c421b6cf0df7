#include "windows/creatable_classes.h"

namespace voziroz {

std::span<const CreatableClass> CreatableClasses() {
  return {};
}

}  // namespace voziroz
