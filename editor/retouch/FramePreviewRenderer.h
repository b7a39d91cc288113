// The frame renderer as the frame dialogs run it: a template whose logo
// cannot be drawn still gives its frame, and that frame is what the preview
// shows and OK applies.
#pragma once

#include "editor/retouch/FrameRenderer.h"

class FramePreviewRenderer : public FrameRenderer {
public:
    HRESULT Apply(const void* params) override
    {
        const HRESULT result = FrameRenderer::Apply(params);
        return result == kLogoFailed ? 0 : result;
    }
};
