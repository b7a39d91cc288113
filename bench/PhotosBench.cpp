// Rotate Right of the 24 MP photo end to end, as the editor does it: the
// turn and the undo snapshot on the algorithm thread's job, the step pushed
// and written to the history file; beside `vips rot d90` of the same picture.
#include "BenchSupport.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PhotoEditJob.h"

#include <cstdlib>
#include <string>

namespace {

void RotateRightOurs(benchmark::State& state)
{
    CQLImage photo;
    photo.DuplicateFrom(&SyntheticPhoto());
    AsyncUndoHistory history;
    history.Reset();
    history.Push(&photo, "Open File");
    for (auto _ : state) {
        CPhotoEditJob job(CPhotoEditJob::kRotateRight);
        job.SetImages(&photo, nullptr);
        if (job.Apply(nullptr) != 0 || !job.m_snapshot) {
            state.SkipWithError("the turn failed");
            return;
        }
        photo = std::move(job.m_result);
        if (!history.PushSnapshot(std::move(job.m_snapshot), job.m_snapshotLength, "Rotate Right")) {
            state.SkipWithError("the step was not written");
            return;
        }
        history.GetWriter().WaitUntilIdle();
    }
}
BENCHMARK(RotateRightOurs)->Name("RotateRight24MP/ours")->Unit(benchmark::kMillisecond)->UseRealTime();

// vips reads and writes its own uncompressed format, the cheapest files it has.
void RotateRightPeer(benchmark::State& state)
{
    const std::string in = BenchFolder() + "/rotate-in.v";
    if (std::system(("vips copy " + PeerInputPpm() + " " + in + " >/dev/null 2>&1").c_str()) != 0) {
        state.SkipWithError("vips is not installed (bench/run installs the peers)");
        return;
    }
    RunPeer(state, "vips rot " + in + " " + BenchFolder() + "/rotate-out.v d90");
}
BENCHMARK(RotateRightPeer)->Name("RotateRight24MP/peer")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
