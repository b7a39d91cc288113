// The editor's layered-image object: reads a layered file, flattens it to
// background, active layer and what lies above, hands out the active layer
// to edit and the merged picture to show.
#pragma once

#include "imagecore/QLImage.h"
#include "kit/ComplexImageUtils.h"
#include "kit/LayeredDocument.h"

#include <memory>

namespace kit {

class CComplexImageUtils : public ::CComplexImageUtils {
public:
    CComplexImageUtils() = default;
    CComplexImageUtils(const CComplexImageUtils&) = delete;
    CComplexImageUtils& operator=(const CComplexImageUtils&) = delete;

    INTERNAL_IMAGE MaybeChanged(INTERNAL_IMAGE image) override;
    INTERNAL_IMAGE GetImageForEdit() override;
    int FromFile(const char* path) override;
    ~CComplexImageUtils() override = default;

    // Reads every layer chunk as an image layer into an emptied document
    // and flattens it; 1 or 0.
    int FromKitFile(KitFile& file);
    // NULL before the first read.
    LayeredDocument* Document() { return m_document.get(); }
    INTERNAL_IMAGE Merged();

protected:
    int Merge();

private:
    ImageLayer* ActiveLayer();
    // Brings the edited picture's colour into the active layer; false when
    // nothing differs.
    bool TakeEdit(const INTERNAL_IMAGE& image, ImageLayer& layer);

    std::unique_ptr<LayeredDocument> m_document;
    CQLImage m_merged;
    bool m_hasMerged = false;
};

}  // namespace kit
