// The strip at the left of the paint window: the tool buttons (zoom, move,
// colour pick and one per paint-tool plug-in), the colour field, the brush
// settings with their preview and the zoom read-out with its menu.
#pragma once

#include "platform/afx/Afx.h"
#include "platform/afx/GdiObjects.h"
#include "plugins/PluginInterface.h"

#include <vector>

class CPaintCanvas;

struct PaintToolEntry {
    RECT rect;
    HICON icon;
    HICON activeIcon;
    char tooltip[256];
    int32_t id;
    int32_t selected;    // current tool, or an action button held down
    int32_t selectable;  // 0 for action buttons
    PaintToolRecord record;  // zero for built-in entries
};

// A loaded paint-tool plug-in, in load order.
struct PaintToolModule {
    HMODULE module;
    PluginEntryFunction entry;
};

class CPaintToolPanel : public CWnd {
    DECLARE_DYNAMIC(CPaintToolPanel)
public:
    static constexpr int kWidth = 110;
    static constexpr UINT kHintTimer = 124;
    static constexpr int kReadoutItem = 1000;
    static constexpr int kFirstPluginId = 10;
    enum BuiltinId { kZoomTool = 0, kMoveTool = 1, kPickTool = 2, kSwapAction = 3, kResetAction = 4 };

    CPaintToolPanel();
    ~CPaintToolPanel() override;

    void SetCanvas(CPaintCanvas* canvas) { m_canvas = canvas; }
    // The plug-ins the tool list is built from at creation.
    void SetToolModules(std::vector<PaintToolModule> modules) { m_modules = std::move(modules); }

    int GetCurrentToolId() const;
    // NULL for the built-in ids 0 to 4 and for ids no entry has.
    PaintToolRecord* FindToolRecord(int id);
    BrushSettings GetBrush() const;
    void SetForegroundColour(int colour);

    const std::vector<PaintToolEntry>& Entries() const { return m_entries; }
    // The entry under the client point, kReadoutItem for the zoom read-out,
    // else -1.
    int HitTest(POINT point) const;
    int HoverTicks() const { return m_hoverTicks; }
    RECT SwatchRect() const;
    RECT HueHitRect() const;
    RECT SquareRect() const;
    RECT SliderBlock() const;
    static RECT ReadoutRect() { return RECT{8, 55, 92, 73}; }
    // Redraws the zoom read-out at once.
    void RedrawReadout();
    // What the hint timer does every 100 ms.
    void OnHintTick();

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void BuildToolList();
    void PlaceColourButtons(int w, int h);
    bool CanvasHasImage() const;
    void Draw(CDC* dc);
    void DrawEntry(CDC* dc, const PaintToolEntry& entry);
    void DrawColourField(CDC* dc);
    void DrawBrushArea(CDC* dc);
    void DrawReadout(CDC* dc);
    void RedrawEntry(int index);
    void RedrawColourField();
    void RedrawBrushArea();
    void ColourDrag(CPoint point);
    bool SliderClick(CPoint point);
    void OpenZoomMenu();
    void RunAction(int id);
    void PickColourByDialog();

    CPaintCanvas* m_canvas = nullptr;
    std::vector<PaintToolModule> m_modules;
    std::vector<PaintToolEntry> m_entries;
    CFont m_font;
    HICON m_markerIcon = nullptr;
    int m_current = 0;
    int m_previous = 0;
    int m_hover = -1;
    int m_hoverTicks = 0;
    int m_dragMode = 0;  // 1 hue bar, 2 saturation and brightness square
    bool m_readoutPressed = false;
};
