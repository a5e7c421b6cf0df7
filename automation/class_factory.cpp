#include "automation/class_factory.h"

#include <cstdio>
#include <deque>

namespace voziroz {

void ReportCreationFailure(std::string_view message) {
  std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(kCreationFailureCaption.size()),
               kCreationFailureCaption.data(), static_cast<int>(message.size()), message.data());
}

HResult ClassFactory::CreateObject(ObjectPtr<AutomationObject>& out) const {
  out = {};
  try {
    out = class_->Create();
    return kOk;
  } catch (...) {
    ReportCreationFailure(ErrorInfoFrom(std::current_exception(), Class().ProgId).Description);
    return kUnexpected;
  }
}

namespace {

// A deque, so that factories (which hold atomic counts) are never moved.
std::deque<ClassFactory>& Factories() {
  static std::deque<ClassFactory> factories = [] {
    std::deque<ClassFactory> made;
    for (const CreatableClass& c : CreatableClasses()) made.emplace_back(c);
    return made;
  }();
  return factories;
}

}  // namespace

void MakeClassFactories() {
  Factories();
}

ClassFactory* FindClassFactory(const Guid& clsid) {
  for (ClassFactory& f : Factories())
    if (f.Class().Clsid == clsid) return &f;
  return nullptr;
}

}  // namespace voziroz
