#include "algorithms/JpegSizeAlgorithm.h"

#include "platform/codec/QLImageCodec.h"

#include <memory>

HRESULT JpegSizeAlgorithm::Apply(const void* params)
{
    kept.reset();
    if (EffectAlgorithm::Apply(params) != 0 || !params)
        return E_FAIL;
    quality = *static_cast<const INT*>(params);
    if (decodeBack && !CopySourceToTarget())
        return 8;

    CQLImageCodec codec;
    if (qTable)
        codec.SetJpegAdaptiveQTable(qTable);
    BYTE* bytes = nullptr;
    DWORD length = 0;
    bool ok = codec.SaveToJpegMem(&bytes, &length, source, quality) != 0;
    std::unique_ptr<BYTE[]> owned(bytes);
    if (ok) {
        jpegSize = length;
        if (decodeBack) {
            Progress(50);
            ok = CQLImageCodec::DecodeJpegMem(bytes, length, target) != 0;
        }
    }
    if (TestCancel())
        return E_FAIL;
    if (ok && keepBytes)
        kept = std::move(owned);
    Progress(100);
    return ok ? 0 : E_FAIL;
}
