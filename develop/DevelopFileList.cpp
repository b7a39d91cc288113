#include "develop/DevelopFileList.h"

#include "develop/DevelopSkin.h"
#include "develop/DevelopTexts.h"
#include "editor/ui/FontCache.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"

#include <algorithm>
#include <numeric>
#include <strings.h>

namespace develop {

namespace {
constexpr int kBar = 16;

// The unselected rows' and the empty space's fill.
void DarkFill(CDC& dc, const CRect& r)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    FillGradientRect(&dc, r, CPoint(r.left, r.top), CPoint(r.right - 32, r.top), 1, 0x202020, 0x808080);
}

void DrawIcon16(CDC& dc, UINT icon, int x, int y)
{
    if (CWinApp* app = AfxGetApp())
        if (HICON h = app->LoadIcon(icon))
            ::DrawIconEx(dc.GetSafeHdc(), x, y, h, 16, 16, 0, nullptr, DI_NORMAL);
}
} // namespace

BEGIN_MESSAGE_MAP(DevelopFileList, CTextListBox)
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL DevelopFileList::Create(UINT id, const RECT& rect, CWnd* parent)
{
    return CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

int DevelopFileList::AddItem(const char* text, int data)
{
    m_rows.emplace_back();
    m_texts.emplace_back(text ? text : "");
    m_data.push_back(data);
    return GetCount() - 1;
}

void DevelopFileList::Clear()
{
    m_rows.clear();
    m_texts.clear();
    m_data.clear();
    m_first = 0;
    if (m_hWnd)
        Invalidate(FALSE);
}

void DevelopFileList::Sort()
{
    std::vector<int> order(m_texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return strcasecmp(m_texts[a].c_str(), m_texts[b].c_str()) < 0; });
    std::vector<Row> rows;
    std::vector<std::string> texts;
    std::vector<int> data;
    for (int i : order) {
        rows.push_back(m_rows[i]);
        texts.push_back(std::move(m_texts[i]));
        data.push_back(m_data[i]);
    }
    m_rows = std::move(rows);
    m_texts = std::move(texts);
    m_data = std::move(data);
}

int DevelopFileList::IsSelected(int row) const
{
    return row >= 0 && row < GetCount() && m_rows[row].selected ? 1 : 0;
}

int DevelopFileList::GetItemData(int row) const { return row >= 0 && row < GetCount() ? m_data[row] : -1; }

int DevelopFileList::FindByData(int key) const
{
    const auto it = std::find(m_data.begin(), m_data.end(), key);
    return it == m_data.end() ? -1 : static_cast<int>(it - m_data.begin());
}

int DevelopFileList::SetItemText(int row, const char* text)
{
    if (row < 0 || row >= GetCount())
        return 0;
    m_texts[row] = text ? text : "";
    if (m_hWnd)
        Invalidate(FALSE);
    return 1;
}

void DevelopFileList::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CFontCache& fonts = CFontCache::Instance();
    fonts.SelectFont(Texts().GetText("defaultfont"), 12);
    ClampFirst();
    const int count = GetCount();
    const int visible = VisibleRows();
    const bool bar = HasScrollBar();
    m_upBox = m_downBox = m_thumb = CRect();
    if (count == 0) {
        DarkFill(dc, client);
        fonts.PaintText(&dc, 5, 5, 0xC0C0C0, Texts().GetText("noitem"), FALSE);
    } else {
        const int right = bar ? client.right - kBar : client.right;
        int bottom = client.top + 1;
        for (int r = m_first; r < count && m_rowHeight > 0; ++r) {
            const CRect row(client.left + 1, bottom, right, bottom + m_rowHeight);
            if (row.top >= client.bottom)
                break;
            const bool selected = m_rows[r].selected != 0;
            if (selected)
                FillGradientRect(&dc, row, CPoint(row.left, row.top), CPoint(row.right, row.top), 1, 0xF0DCC8, 0x808080);
            else
                DarkFill(dc, row);
            // Long texts are cut by the row, never in the list.
            dc.SaveDC();
            dc.IntersectClipRect(&row);
            const SIZE size = fonts.MeasureText(&dc, m_texts[r].c_str());
            fonts.PaintText(&dc, row.left + 2, row.top + (row.Height() - size.cy) / 2, selected ? 0 : 0xC0C0C0,
                            m_texts[r].c_str(), FALSE);
            dc.RestoreDC(-1);
            bottom = row.bottom;
        }
        DarkFill(dc, CRect(client.left + 1, bottom, right, client.bottom));
    }
    if (bar)
        PaintScrollBar(dc, client, visible);
    CBrush black(RGB(0, 0, 0));
    dc.FrameRect(&client, &black);
}

void DevelopFileList::PaintScrollBar(CDC& dc, const CRect& client, int visible)
{
    const CRect column(client.right - kBar, client.top, client.right, client.bottom);
    dc.FillSolidRect(&column, 0xC0C0C0);
    CBrush frame(0x404040);
    dc.FrameRect(&column, &frame);
    m_upBox = CRect(column.left, column.top, column.right, column.top + kBar);
    m_downBox = CRect(column.left, column.bottom - kBar, column.right, column.bottom);
    // A held button is drawn sunk: darker and one pixel down and right.
    if (m_upPressed)
        dc.FillSolidRect(&m_upBox, 0x808080);
    if (m_downPressed)
        dc.FillSolidRect(&m_downBox, 0x808080);
    DrawIcon16(dc, 148, m_upBox.left + (m_upPressed ? 1 : 0), m_upBox.top + (m_upPressed ? 1 : 0));
    DrawIcon16(dc, 149, m_downBox.left + (m_downPressed ? 1 : 0), m_downBox.top + (m_downPressed ? 1 : 0));
    const CRect track(column.left, m_upBox.bottom, column.right, m_downBox.top);
    if (track.Height() <= 0)
        return;
    FillGradientRect(&dc, track, CPoint(track.left, track.top), CPoint(track.right, track.top), 1, 0x404040,
                     0xC0C0C0);
    const int count = GetCount();
    const int h = track.Height();
    const int top = track.top + (count > 0 ? h * m_first / count : 0);
    int end = track.top + (count > 0 ? h * (m_first + visible) / count : h);
    end = std::max(end, top + 4);
    end = std::min<int>(end, track.bottom);
    m_thumb = CRect(track.left, std::min(top, end - 4), track.right, end);
    FillGradientRect(&dc, m_thumb, CPoint(m_thumb.left, m_thumb.top), CPoint(m_thumb.right, m_thumb.top), 1,
                     0xC0C0C0, 0x808080);
    dc.Draw3dRect(&m_thumb, 0xDCDCDC, 0x404040);
}

} // namespace develop
