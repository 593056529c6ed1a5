#pragma once

#include "platform/PlatformOps.h"

namespace tovask {

// Passes every operation on to another platform, through the forwarding base
// of each part; a subclass overrides the few it handles itself, and an
// operation added to a part is forwarded with no change here.
class ForwardingPlatform : public PlatformOps,
                           public ForwardingRegistryOps,
                           public ForwardingFileOps,
                           public ForwardingSessionOps {
  public:
    explicit ForwardingPlatform(PlatformOps& next)
        : ForwardingRegistryOps(next), ForwardingFileOps(next), ForwardingSessionOps(next) {}
    // Defined in one file, so that the class's tables of virtual functions
    // (and a subclass's destructor, declared out of line alike) are made once:
    // the shipped program's whole-program link cannot join the copies that
    // every file using an inline destructor would make of them.
    ~ForwardingPlatform() override;
};

}  // namespace tovask
