// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/common/Progress.h"
#include "tests/support/RecordingProgress.h"

TEST(Progress, AnInnerStageShowsItsOwnRangeAndTheOuterComesBackAtItsValueAndAStopIsThrownAtTheNextUpdate)
{
    using Call = RecordingProgress::Call;
    RecordingProgress progress;
    {
        ProgressScope outer(progress, 0, 10, "Loading...");
        outer.Update(4);
        {
            ProgressScope inner(progress, 1, 3, "Reading...");
            inner.Update(2);
        }
        outer.Update(5, "Loading Section ZONE...");
    }
    const std::vector<Call> expected = {{'S', 0, 10, "Loading..."},
                                        {'U', 4, 0, "Loading..."},
                                        {'S', 1, 3, "Reading..."},
                                        {'U', 2, 0, "Reading..."},
                                        {'S', 0, 10, "Loading..."},
                                        {'U', 4, 0, "Loading..."},
                                        {'U', 5, 0, "Loading Section ZONE..."},
                                        {'H', 0, 0, ""}};
    EXPECT_EQ(progress.calls, expected);

    ProgressScope stage(progress, 0, 1, "Exporting...");
    stage.Update(0.5);
    progress.RequestStop();
    EXPECT_THROW(stage.Update(1), Cancelled);
}
