// One of the frame's editing commands as a job of the algorithm thread: the
// photo (the source) is only read; the result and its undo snapshot are made
// in the job's own memory, so the window keeps painting the photo meanwhile.
#pragma once

#include "algorithms/EffectAlgorithm.h"

#include <memory>

class CPhotoEditJob : public EffectAlgorithm {
public:
    enum Kind : int {
        kRotateRight,
        kRotateLeft,
        kFlipHorizontally,
        kFlipVertically,
        kAutoLevel,
        kAutoContrast,
        kBlur,
        kSimpleSharpen,
        kEdgeShrink,
        kSharpenTexture,
        kAutoWhiteBalance,
    };

    // The command's job and its step's UI text; FALSE for another command.
    static BOOL FromCommand(UINT command, Kind* kind, int* textId);

    explicit CPhotoEditJob(Kind kind) : m_kind(kind) {}

    // params unused. 0 when m_result holds the changed photo, else E_FAIL.
    HRESULT Apply(const void* params) override;

    CQLImage m_result;
    // The result's undo snapshot; empty when it could not be made.
    std::unique_ptr<BYTE[]> m_snapshot;
    DWORD m_snapshotLength = 0;

private:
    BOOL Run();

    Kind m_kind;
};
