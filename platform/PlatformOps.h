#pragma once

#include "platform/FileOps.h"
#include "platform/RegistryOps.h"
#include "platform/SessionOps.h"

namespace tovask {

// The only door from the program's logic to the operating system, in three
// parts: the registry, files and folders, and the session. Every operation
// reports success or the system error; a missing key, value or file is
// reported as std::errc::no_such_file_or_directory so callers can tell it
// from other failures. Paths are passed as text, never as handles. A
// function that needs one part only takes that part. The parts are virtual
// bases, so that a forwarding base of each part can serve as the overrider
// of its operations in a platform made of all three (ForwardingPlatform).
class PlatformOps : public virtual RegistryOps,
                    public virtual FileOps,
                    public virtual SessionOps {};

}  // namespace tovask
