#include "windows/creatable_classes.h"

#include "automation/parser_object.h"
#include "automation/table_object.h"

namespace voziroz {

std::span<const CreatableClass> CreatableClasses() {
  static const CreatableClass classes[] = {
      {&ParserClass(), &MakeNew<TParser>},
      {&TableClass(), &MakeNew<TTable>},
  };
  return classes;
}

}  // namespace voziroz
