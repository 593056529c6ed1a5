#include <iostream>

#include "tests/native/FaultMatrix.h"

namespace tovask::test {
namespace {

struct FaultKind {
    std::string name;
    std::errc error;

    friend void PrintTo(const FaultKind& kind, std::ostream* out) { *out << kind.name; }
};

class FaultMatrix : public testing::TestWithParam<FaultKind> {};

TEST_P(FaultMatrix, EveryCallFailingInTurnLeavesRunAndUndoSound) {
    const auto replays = matrix::replayEveryCall(errc(GetParam().error));
    // At least the 39 registry rows, two backups, two rewrites, two restores
    // and the two closing messages.
    EXPECT_GE(replays, 47u);
    RecordProperty("replays", static_cast<int>(replays));
    std::cout << "[ fault matrix ] " << replays << " replays, each call failing with "
              << GetParam().name << '\n';
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FaultMatrix,
    testing::Values(FaultKind{"AccessDenied", std::errc::permission_denied},
                    FaultKind{"FileInUse", std::errc::device_or_resource_busy},
                    FaultKind{"NotFound", std::errc::no_such_file_or_directory}),
    [](const testing::TestParamInfo<FaultKind>& info) { return info.param.name; });

}  // namespace
}  // namespace tovask::test
