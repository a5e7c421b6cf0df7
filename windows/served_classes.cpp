#include "windows/served_classes.h"

#include "automation/parser_object.h"
#include "automation/table_object.h"
#include "containers/key_list.h"
#include "containers/queue.h"
#include "containers/stack.h"

namespace voziroz {

std::span<const ServedClass> ServedClasses() {
  static const ServedClass classes[] = {
      {&ParserClass(), &NewObjectOf<TParser>},   {&TableClass(), &NewObjectOf<TTable>},
      {&QueueClass(), &NewObjectOf<TQueue>},     {&StackClass(), &NewObjectOf<TStack>},
      {&KeyListClass(), &NewObjectOf<TKeyList>},
  };
  return classes;
}

}  // namespace voziroz
