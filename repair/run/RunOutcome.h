#pragma once

namespace tovask {

// How a repair, an undo or a check ended, for callers that act on it.
enum class RunOutcome {
    Done,
    DoneWithFailures,
    RepairNeeded,
    BrowserOpen,
    AnotherRepairRunning,
    // The undo found no backup of any change: it changed nothing.
    NothingToUndo,
    // The run asked for was undone before: nothing was changed again.
    AlreadyUndone,
};

}  // namespace tovask
