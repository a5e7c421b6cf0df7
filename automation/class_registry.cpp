#include "automation/class_registry.h"

#include "automation/parser_object.h"
#include "automation/table_object.h"

namespace voziroz {

std::span<const CreatableClass> CreatableClasses() {
  static const CreatableClass kClasses[] = {
      {&ParserClass(), &MakeNew<TParser>},
      {&TableClass(), &MakeNew<TTable>},
  };
  return kClasses;
}

const CreatableClass* FindCreatableClass(const Guid& clsid) {
  for (const CreatableClass& c : CreatableClasses())
    if (c.Info->Clsid == clsid) return &c;
  return nullptr;
}

}  // namespace voziroz
