#include "platform/ForwardingPlatform.h"

namespace tovask {

ForwardingPlatform::~ForwardingPlatform() = default;

}  // namespace tovask
