// Fuzzes the automation boundary as a script reaches it: a run of calls by name (GetIDsOfNames,
// then Invoke with any flags) on the six objects, with arbitrary arguments of every kind: nested
// one- and two-dimensional arrays, null arrays, error values, the objects themselves, and values
// passed by reference (slots that [out] parameters write back into and later calls read).
// Aborts when a call throws past the dispatcher or breaks its outcome's promises.
//
// Calls touch only a scratch folder that holds "g" (the sample GEDCOM file) and "j" (a small
// JPEG): a text passed as a local file name is taken as a name in that folder (its slashes
// become '_'), and the folder is restored after each input. FTP's Connect is never called, so
// nothing goes to the network.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "automation/call_by_name.h"
#include "automation/dispatch.h"
#include "automation/parser_object.h"
#include "automation/table_object.h"
#include "containers/key_list.h"
#include "containers/queue.h"
#include "containers/stack.h"
#include "ftp/ftp_object.h"
#include "imaging/bitmap.h"
#include "imaging/jpeg_codec.h"

namespace {

using namespace voziroz;
namespace fs = std::filesystem;

constexpr int kMaxCalls = 32;
constexpr int kMaxArguments = 7;
constexpr int kMaxDepth = 3;
constexpr int kMaxElements = 6;
constexpr std::size_t kReferenceSlots = 4;

void Require(bool condition) {
  if (!condition) std::abort();
}

struct Scratch {
  fs::path folder;
  std::string gedcom;
  std::string jpeg;
};

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWhole(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Makes the scratch folder and keeps the seed files' bytes.
const Scratch& SetUpScratch() {
  static const Scratch scratch = [] {
    std::string folder = (fs::temp_directory_path() / "voziroz-dispatch-fuzz-XXXXXX").string();
    Require(mkdtemp(folder.data()) != nullptr);
    Scratch s{folder, ReadWhole(VOZIROZ_SOURCE_DIR "/samples/family.ged"), ""};
    Bitmap picture(8, 8);
    picture.Fill(Rgb{200, 100, 50});
    std::FILE* jpeg = std::fopen((s.folder / "j").c_str(), "wb");
    EncodeJpeg(picture, jpeg);
    std::fclose(jpeg);
    s.jpeg = ReadWhole(s.folder / "j");
    return s;
  }();
  return scratch;
}

void RestoreScratch(const Scratch& scratch) {
  for (const auto& entry : fs::directory_iterator(scratch.folder)) fs::remove_all(entry.path());
  WriteWhole(scratch.folder / "g", scratch.gedcom);
  WriteWhole(scratch.folder / "j", scratch.jpeg);
}

bool IsLocalFileName(const ParamInfo& param) {
  return param.Name.ends_with("Filename") || param.Name == "LocalName";
}

// Text arguments for local file names become names in the scratch folder.
void KeepFilesInScratch(const MemberInfo* member, std::vector<Variant>& args,
                        const Scratch& scratch) {
  if (member == nullptr) return;
  for (std::size_t i = 0; i < args.size() && i < member->Params.size(); ++i) {
    if (!IsLocalFileName(member->Params[i]) || args[i].Kind() != VariantKind::Text) continue;
    std::string name = args[i].AsText();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    args[i] = Variant::Text((scratch.folder / name).string());
  }
}

class CallMaker {
 public:
  CallMaker(FuzzedDataProvider& data, const std::vector<ObjectPtr<AutomationObject>>& objects)
      : data_(data), objects_(objects) {}

  Variant Value(int depth = 0) {
    switch (data_.ConsumeIntegralInRange(0, depth < kMaxDepth ? 11 : 9)) {
      case 0:
        return Variant();
      case 1:
        return Variant::Null();
      case 2:
        return Variant::I1(data_.ConsumeIntegral<std::int8_t>());
      case 3:
        return Variant::UI1(data_.ConsumeIntegral<std::uint8_t>());
      case 4:
        return Variant::I4(data_.ConsumeIntegral<std::int32_t>());
      case 5:
        return Variant::Bool(data_.ConsumeBool());
      case 6:
        return Variant::Error(data_.ConsumeBool() ? kParamNotFound : kUnexpected);
      case 7:
        return Variant::Text(Text());
      case 8:
        return Variant::NullArray();
      case 9:
        return Variant::Object(
            objects_[data_.ConsumeIntegralInRange<std::size_t>(0, objects_.size() - 1)]);
      case 10:
        return OneDimension(depth);
      default:
        return TwoDimensions(depth);
    }
  }

  // A member name: mostly one of the interface's (in any case), sometimes any text.
  std::string Name(const InterfaceInfo& iface) {
    if (data_.ConsumeIntegralInRange(0, 15) == 0) return Text();
    std::string name(
        iface.Members[data_.ConsumeIntegralInRange<std::size_t>(0, iface.Members.size() - 1)].Name);
    if (data_.ConsumeBool()) {
      for (char& c : name) c = static_cast<char>(c ^ 0x20);
    }
    return name;
  }

 private:
  std::string Text() { return data_.ConsumeRandomLengthString(16); }

  Variant OneDimension(int depth) {
    std::vector<Variant> elements(data_.ConsumeIntegralInRange(0, kMaxElements));
    for (Variant& element : elements) element = Value(depth + 1);
    return Variant::Array(VariantArray(std::move(elements)));
  }

  Variant TwoDimensions(int depth) {
    VariantArray array(data_.ConsumeIntegralInRange(0, 3), data_.ConsumeIntegralInRange(0, 3));
    for (std::int32_t r = 0; r < array.Length(); ++r) {
      for (std::int32_t c = 0; c < array.Columns(); ++c) array.At(r, c) = Value(depth + 1);
    }
    return Variant::Array(std::move(array));
  }

  FuzzedDataProvider& data_;
  const std::vector<ObjectPtr<AutomationObject>>& objects_;
};

void CheckOutcome(const InvokeOutcome& outcome, const Variant& result, const ClassInfo& cls) {
  if (outcome.Succeeded()) return;
  Require(result.Kind() == VariantKind::Empty);
  if (outcome.Status == kDispException) {
    Require(outcome.Error.Source == cls.ProgId && !outcome.Error.Description.empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const Scratch& scratch = SetUpScratch();
  FuzzedDataProvider data(bytes, size);
  {
    const std::vector<ObjectPtr<AutomationObject>> objects = {
        MakeObject<TParser>(), MakeObject<TTable>(), MakeObject<TFTP>(),
        MakeObject<TQueue>(),  MakeObject<TStack>(), MakeObject<TKeyList>()};
    CallMaker maker(data, objects);
    std::array<Variant, kReferenceSlots> slots;  // by-reference arguments live here
    for (int call = 0; call < kMaxCalls && data.remaining_bytes() > 0; ++call) {
      AutomationObject& object = *objects[data.ConsumeIntegralInRange<std::size_t>(0, 5)];
      const InterfaceInfo& iface = *object.Class().Interface;
      const std::string name = maker.Name(iface);
      const std::string_view names[] = {name};
      DispId id = kDispIdUnknown;
      if (GetIDsOfNames(iface, names, std::span(&id, 1)) != kOk) continue;
      const auto flags = data.ConsumeIntegralInRange<std::uint16_t>(0, 15);
      const MemberInfo* member = FindInvokedMember(iface, id, flags);
      if (&iface == &kFtpInterface && member && member->Name == "Connect") continue;

      std::vector<Variant> args(data.ConsumeIntegralInRange(0, kMaxArguments));
      std::vector<int> by_reference(args.size(), -1);
      for (std::size_t i = 0; i < args.size(); ++i) {
        if (data.ConsumeBool()) {
          by_reference[i] = data.ConsumeIntegralInRange<int>(0, kReferenceSlots - 1);
          args[i] = slots[by_reference[i]];
        } else {
          args[i] = maker.Value();
        }
      }
      KeepFilesInScratch(member, args, scratch);
      Variant result = Variant::I4(1);
      const InvokeOutcome outcome = Invoke(object, id, flags, args, result);
      CheckOutcome(outcome, result, object.Class());
      for (std::size_t i = 0; i < args.size(); ++i) {
        if (by_reference[i] >= 0) slots[by_reference[i]] = args[i];
      }
    }
    for (std::size_t container = 3; container < objects.size(); ++container) {
      CallByName(*objects[container], "Clear");
    }
  }
  // Every object is gone once the containers let go of what they hold (a queue that holds
  // itself is a cycle, as with any reference counting); a count left means a leaked reference.
  Require(AutomationObject::LiveObjectCount() == 0);
  RestoreScratch(scratch);
  return 0;
}
