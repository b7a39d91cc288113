// The album's picture push button: the editor's button with the album's
// face strip (disabled, hover and normal thirds), its frames and hand cursor.
#pragma once

#include "editor/ui/ButtonST.h"

namespace shelf {

class CButtonST : public ::CButtonST {
    DECLARE_DYNAMIC(CButtonST)
public:
    static constexpr UINT kHandCursor = 138;

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // The third of the strip the face comes from: 0 top (disabled), 1 middle
    // (hover), 2 bottom (normal).
    static int FaceThird(bool disabled, bool hover);
};

} // namespace shelf
