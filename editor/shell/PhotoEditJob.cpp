#include "editor/shell/PhotoEditJob.h"

#include "algorithms/AutoLevelsAlgorithm.h"
#include "algorithms/EdgeShrinkAlgorithm.h"
#include "algorithms/RotateFlipAlgorithm.h"
#include "algorithms/SharpenLuma.h"
#include "algorithms/SharpenTextureAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "editor/shell/SnapshotCodec.h"

namespace {

struct CommandJob {
    UINT command;
    CPhotoEditJob::Kind kind;
    int textId;
};

const CommandJob kCommandJobs[] = {
    {32785, CPhotoEditJob::kRotateRight, 44},      {32786, CPhotoEditJob::kRotateLeft, 43},
    {32787, CPhotoEditJob::kFlipHorizontally, 45}, {32775, CPhotoEditJob::kFlipVertically, 46},
    {32788, CPhotoEditJob::kAutoLevel, 23},        {32831, CPhotoEditJob::kAutoContrast, 23},
    {32846, CPhotoEditJob::kBlur, 89},             {32843, CPhotoEditJob::kSimpleSharpen, 91},
    {32844, CPhotoEditJob::kEdgeShrink, 92},       {32870, CPhotoEditJob::kSharpenTexture, 122},
    {32879, CPhotoEditJob::kAutoWhiteBalance, 144},
};

constexpr int kSharpenStrength = 150;
constexpr int kEdgeShrinkStrength = 200;

BOOL RotateFlip(CQLImage* source, CQLImage* target, DWORD mode)
{
    RotateFlipAlgorithm algorithm;
    algorithm.SetImages(source, target);
    return algorithm.Apply(&mode) == 0;
}

BOOL AutoLevels(CQLImage* source, CQLImage* target, INT linked)
{
    AutoLevelsAlgorithm algorithm;
    algorithm.SetImages(source, target);
    return algorithm.Apply(&linked) == 0;
}

BOOL AutoWhiteBalance(CQLImage* source, CQLImage* target)
{
    AutoWhiteBalanceAlgorithm algorithm;
    algorithm.SetImages(source, target);
    return algorithm.Apply(nullptr) == 0;
}

}  // namespace

BOOL CPhotoEditJob::FromCommand(UINT command, Kind* kind, int* textId)
{
    for (const CommandJob& job : kCommandJobs)
        if (job.command == command) {
            *kind = job.kind;
            *textId = job.textId;
            return TRUE;
        }
    return FALSE;
}

BOOL CPhotoEditJob::Run()
{
    switch (m_kind) {
    case kRotateRight:
        return RotateFlip(source, &m_result, RotateFlipAlgorithm::RotateRight);
    case kRotateLeft:
        return RotateFlip(source, &m_result, RotateFlipAlgorithm::RotateLeft);
    case kFlipHorizontally:
        return RotateFlip(source, &m_result, RotateFlipAlgorithm::MirrorLeftRight);
    case kFlipVertically:
        return RotateFlip(source, &m_result, RotateFlipAlgorithm::FlipTopBottom);
    case kAutoLevel:
        return AutoLevels(source, &m_result, 0);
    case kAutoContrast:
        return AutoLevels(source, &m_result, 1);
    case kBlur:
        return BlurImage(source, &m_result) != 0;
    case kSimpleSharpen:
        return m_result.DuplicateFrom(source) && SharpenLuma(&m_result, kSharpenStrength);
    case kEdgeShrink:
        return m_result.DuplicateFrom(source) && EdgeShrinkImage(m_result, kEdgeShrinkStrength);
    case kSharpenTexture:
        return m_result.DuplicateFrom(source) && SharpenTextureImage(m_result);
    case kAutoWhiteBalance:
        return AutoWhiteBalance(source, &m_result);
    }
    return FALSE;
}

HRESULT CPhotoEditJob::Apply(const void*)
{
    if (!source || source->GetAreaByteSize() == 0 || !Run() || m_result.GetAreaByteSize() == 0)
        return E_FAIL;
    BYTE* block = nullptr;
    if (SnapshotCodec::Encode(&m_result, &block, &m_snapshotLength))
        m_snapshot.reset(block);
    return 0;
}
