// The drag source: a data source that offers CF_HDROP blocks and runs the
// drag on Qt's, offering the files as a list of local URLs that file
// managers take.
#pragma once

#include "platform/afx/WinUser.h"
#include "platform/win/GlobalMemory.h"

#include <functional>
#include <map>

class QMimeData;

using DROPEFFECT = DWORD;
inline constexpr DROPEFFECT DROPEFFECT_NONE = 0;
inline constexpr DROPEFFECT DROPEFFECT_COPY = 1;
inline constexpr DROPEFFECT DROPEFFECT_MOVE = 2;
inline constexpr DROPEFFECT DROPEFFECT_LINK = 4;

struct FORMATETC;
using LPFORMATETC = FORMATETC*;

class COleDataSource {
public:
    COleDataSource() = default;
    ~COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // The source owns the block from now on.
    void CacheGlobalData(UINT format, HGLOBAL data, LPFORMATETC etc = nullptr);
    // Waits while the left button is held inside startRect (screen
    // coordinates; the system's drag square when null), then runs the drag.
    // A release inside the square ends it with DROPEFFECT_NONE. Returns the
    // effect the target chose among allowed.
    DROPEFFECT DoDragDrop(DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                          LPCRECT startRect = nullptr, void* dropSource = nullptr);

private:
    std::map<UINT, HGLOBAL> m_blocks;
};

namespace qlafx {
// Runs instead of Qt's drag (tests): gets the offered data and the allowed
// effects, returns the effect chosen. An empty function removes it.
using DragHook = std::function<DROPEFFECT(const QMimeData& data, DROPEFFECT allowed)>;
void SetDragHook(DragHook hook);
} // namespace qlafx
