#include "automation/served_classes.h"

#include "automation/parser_object.h"
#include "automation/table_object.h"
#include "containers/key_list.h"
#include "containers/queue.h"
#include "containers/stack.h"
#include "ftp/ftp_object.h"

namespace voziroz {

std::span<const CreatableClass> ServedClasses() {
  static const CreatableClass kClasses[] = {
      {&ParserClass(), &MakeNew<TParser>}, {&TableClass(), &MakeNew<TTable>},
      {&FtpClass(), &CreateFtp},           {&QueueClass(), &MakeNew<TQueue>},
      {&StackClass(), &MakeNew<TStack>},   {&KeyListClass(), &MakeNew<TKeyList>},
  };
  return kClasses;
}

}  // namespace voziroz
