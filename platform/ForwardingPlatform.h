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
};

}  // namespace tovask
