// TFTP, the FTP object (ProgID "Voziroz.FTP"): the members of IFTP over the plain FTP routines of
// ftp/ftp_client.h, one routine per member.
//
// The object holds nothing of its own: every member acts on the calling thread's one connection,
// so all FTP objects used on a thread share it (a Connect through one is seen by IsConnected of
// another, Disconnect through either closes it for both), it outlives them, and another thread
// has a connection of its own.
//
// Arguments that carry text are converted by the boundary's rule (a Null fails with the conversion
// error before anything is sent). Failures are results: false, "-?-" from CurrentFolder, an empty
// array from ListFiles. The one automation error of a member's own is Connect's "Range check
// error" for a port outside 0 to 65535.
#pragma once

#include "automation/dispatch.h"

namespace voziroz {

class TFTP final : public AutomationObject {
 public:
  const MemberTable& Members() const override;
};

// A new FTP object: the creation function of the class Voziroz.FTP.
ObjectPtr<AutomationObject> CreateFtp();

}  // namespace voziroz
