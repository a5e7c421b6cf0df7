#include "ftp/ftp_object.h"

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "automation/script_text.h"
#include "ftp/ftp_client.h"

namespace voziroz {
namespace {

// An argument as the routine's parameter of type P takes it. The dispatcher has already made
// I4 and BOOL parameters of those kinds; VARIANT ones are converted to text here.
template <class P>
auto ArgumentAs(const Variant& value) {
  if constexpr (std::is_same_v<P, std::string_view>) {
    return ToText(value);  // lives until the routine returns
  } else if constexpr (std::is_same_v<P, bool>) {
    return value.AsBool();
  } else {
    static_assert(std::is_same_v<P, std::int32_t>);
    return value.AsI4();
  }
}

Variant ResultOf(bool value) {
  return Variant::Bool(value);
}
Variant ResultOf(std::string text) {
  return Variant::Text(std::move(text));
}
Variant ResultOf(const std::vector<std::string>& texts) {
  return TextArray(texts);
}

// The handler of a member that takes its arguments in the order of Routine's parameters.
template <auto Routine>
Variant Forward(TFTP&, MemberArgs args) {
  return [&]<class R, class... P>(R (*)(P...)) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
      return ResultOf(Routine(ArgumentAs<P>(args[I])...));
    }
    (std::index_sequence_for<P...>());
  }(Routine);
}

// The transfers name a local file by the script's exact string (automation/script_text.h).
Variant PutFile(TFTP&, MemberArgs args) {
  return ResultOf(ftp::PutFile(ToFileName(args[0]), ToText(args[1]), args[2].AsBool()));
}
Variant GetFile(TFTP&, MemberArgs args) {
  return ResultOf(ftp::GetFile(ToText(args[0]), ToFileName(args[1]), args[2].AsBool()));
}

}  // namespace

const MemberTable& TFTP::Members() const {
  using K = MemberKind;
  static const MemberTable table =
      MemberTable(FtpClass())
          .Add<TFTP>("Connect", K::Method, Forward<&ftp::Connect>)
          .Add<TFTP>("Disconnect", K::Method, Forward<&ftp::Disconnect>)
          .Add<TFTP>("CreateFolder", K::Method, Forward<&ftp::CreateFolder>)
          .Add<TFTP>("RemoveFolder", K::Method, Forward<&ftp::RemoveFolder>)
          .Add<TFTP>("ChangeFolder", K::Method, Forward<&ftp::ChangeFolder>)
          .Add<TFTP>("FileExists", K::Method, Forward<&ftp::FileExists>)
          .Add<TFTP>("DeleteFile", K::Method, Forward<&ftp::DeleteFile>)
          .Add<TFTP>("RenameFile", K::Method, Forward<&ftp::RenameFile>)
          .Add<TFTP>("PutFile", K::Method, PutFile)
          .Add<TFTP>("GetFile", K::Method, GetFile)
          .Add<TFTP>("ListFiles", K::Method, Forward<&ftp::ListFiles>)
          .Add<TFTP>("CurrentFolder", K::Method, Forward<&ftp::CurrentFolder>)
          .Add<TFTP>("PutText", K::Method, Forward<&ftp::PutText>)
          .Add<TFTP>("IsConnected", K::PropertyGet, Forward<&ftp::IsConnected>);
  return table;
}

ObjectPtr<AutomationObject> CreateFtp() {
  return MakeObject<TFTP>();
}

}  // namespace voziroz
