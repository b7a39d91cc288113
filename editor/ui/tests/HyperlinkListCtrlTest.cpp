#include "SkinTestSupport.h"

#include "editor/ui/HyperlinkListCtrl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>

#include <string>
#include <vector>

namespace {

// Records the links it would open instead of starting a program.
class CRecordingLinkList : public CHyperlinkListCtrl {
public:
    std::vector<std::string> opened;

protected:
    void OpenLink(const char* link) override { opened.emplace_back(link); }
};

// Two columns of 100 and 120 pixels; row 0 "Home" (linked) / "mail"
// (linked), row 1 "Plain" / "x" without links.
class HyperlinkList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateParent(100, 100, 400, 300));
        ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, RECT{0, 0, 300, 200}, &m_parent, 5));
        m_list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
        m_list.InsertColumn(1, "Value", LVCFMT_LEFT, 120);
        m_list.InitLinks();
        ASSERT_EQ(m_list.InsertLinkItem(0, "Home", "https://example.org/"), 0);
        ASSERT_EQ(m_list.InsertLinkItem(1, "Plain", ""), 1);
        ASSERT_TRUE(m_list.SetLinkItemText(0, 1, "mail", "mailto:a@example.org"));
        ASSERT_TRUE(m_list.SetLinkItemText(1, 1, "x", ""));
        m_view = dynamic_cast<QAbstractItemView*>(m_list.GetWidget());
        ASSERT_NE(m_view, nullptr);
    }
    void TearDown() override
    {
        m_list.DestroyWindow();
        m_parent.DestroyWindow();
    }
    // The screen point in the middle of a cell.
    POINT CellOnScreen(int row, int column)
    {
        const QRect cell = m_view->visualRect(m_view->model()->index(row, column));
        const QPoint global = m_view->viewport()->mapToGlobal(cell.center());
        return POINT{global.x(), global.y()};
    }
    LRESULT SendItemChanging(UINT changed, UINT oldState, UINT newState)
    {
        NMLISTVIEW nm{};
        nm.hdr.hwndFrom = m_list.m_hWnd;
        nm.hdr.idFrom = 5;
        nm.hdr.code = LVN_ITEMCHANGING;
        nm.iItem = 0;
        nm.uChanged = changed;
        nm.uOldState = oldState;
        nm.uNewState = newState;
        return m_parent.SendMessage(WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&nm));
    }
    // Pixels of a cell close to a colour.
    int InkOf(const QImage& img, int row, int column, COLORREF colour)
    {
        const QRect cell = m_view->visualRect(m_view->model()->index(row, column))
                               .translated(m_view->viewport()->pos());
        int n = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QRgb p = img.pixel(x, y);
                if (std::abs(qRed(p) - GetRValue(colour)) < 30 && std::abs(qGreen(p) - GetGValue(colour)) < 30 &&
                    std::abs(qBlue(p) - GetBValue(colour)) < 30)
                    ++n;
            }
        return n;
    }

    skintest::CParentWnd m_parent;
    CRecordingLinkList m_list;
    QAbstractItemView* m_view = nullptr;
};

TEST_F(HyperlinkList, CellsKeepTheirTextsAndRecords)
{
    EXPECT_EQ(m_list.GetExtendedStyle(), 0x60u);
    EXPECT_STREQ(m_list.GetItemText(0, 0), "Home");
    EXPECT_STREQ(m_list.GetItemText(0, 1), "mail");
    EXPECT_STREQ(m_list.GetItemText(1, 1), "x");
    const struct {
        int row, column;
        const char* link;
        int underline;
    } cells[] = {
        {0, 0, "https://example.org/", 1},
        {0, 1, "mailto:a@example.org", 1},
        {1, 0, "", 0},
        {1, 1, "", 0},
    };
    for (const auto& c : cells) {
        const LinkItem* item = m_list.GetCellLink(c.row, c.column);
        ASSERT_NE(item, nullptr) << c.row << "," << c.column;
        EXPECT_STREQ(item->link, c.link);
        EXPECT_EQ(item->style->underline, c.underline);
        EXPECT_EQ(item->visited, 0);
    }
    EXPECT_EQ(m_list.GetCellLink(2, 0), nullptr);
}

TEST_F(HyperlinkList, OnlyGainingSelectionOrFocusIsRefused)
{
    const struct {
        const char* what;
        UINT changed, oldState, newState;
        LRESULT result;
    } cases[] = {
        {"text change", LVIF_TEXT, 0, 0, 0},
        {"selection taken away", LVIF_STATE, LVIS_SELECTED | LVIS_FOCUSED, 0, 0},
        {"selection gained (a click)", LVIF_STATE, 0, LVIS_SELECTED | LVIS_FOCUSED, 1},
        {"focus gained", LVIF_STATE, 0, LVIS_FOCUSED, 1},
    };
    ::SetCursorPos(0, 0);  // outside the list: nothing to open
    for (const auto& c : cases)
        EXPECT_EQ(SendItemChanging(c.changed, c.oldState, c.newState), c.result) << c.what;
    EXPECT_TRUE(m_list.opened.empty());
}

TEST_F(HyperlinkList, ClickOpensTheLinkOfTheCellUnderTheMouse)
{
    const struct {
        const char* what;
        int row, column;
        bool inside;
        std::vector<std::string> opened;
    } cases[] = {
        {"first column", 0, 0, true, {"https://example.org/"}},
        {"second column", 0, 1, true, {"mailto:a@example.org"}},
        {"cell without a link", 1, 0, true, {}},
        {"mouse outside the list", 0, 0, false, {}},
    };
    for (const auto& c : cases) {
        m_list.opened.clear();
        const POINT at = c.inside ? CellOnScreen(c.row, c.column) : POINT{5, 5};
        ::SetCursorPos(at.x, at.y);
        EXPECT_FALSE(m_list.SetItemState(c.row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED))
            << c.what << ": the change is refused";
        EXPECT_EQ(m_list.GetItemState(c.row, LVIS_SELECTED), 0u) << c.what;
        EXPECT_EQ(m_list.opened, c.opened) << c.what;
    }
    EXPECT_EQ(m_list.GetCellLink(0, 0)->visited, 1);
    EXPECT_EQ(m_list.GetCellLink(0, 1)->visited, 1);
    EXPECT_EQ(m_list.GetCellLink(1, 0)->visited, 0);
}

TEST_F(HyperlinkList, AMouseClickOnTheListOpensTheLink)
{
    const QRect cell = m_view->visualRect(m_view->model()->index(0, 1));
    const QPoint global = m_view->viewport()->mapToGlobal(cell.center());
    ::SetCursorPos(global.x(), global.y());
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QMouseEvent e(type, QPointF(cell.center()), QPointF(global), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(m_view->viewport(), &e);
    }
    EXPECT_EQ(m_list.opened, std::vector<std::string>{"mailto:a@example.org"});
    EXPECT_EQ(m_list.GetItemState(0, LVIS_SELECTED), 0u);
}

TEST_F(HyperlinkList, LinksAreDrawnInLinkColourThenVisitedColour)
{
    const COLORREF link = 0xFF0000, visited = 0x800080;
    QImage img = m_view->grab().toImage();
    EXPECT_GT(InkOf(img, 0, 0, link), 0) << "a link in the link colour";
    EXPECT_EQ(InkOf(img, 1, 0, link), 0) << "plain text is not";
    EXPECT_EQ(InkOf(img, 0, 0, visited), 0);

    const POINT at = CellOnScreen(0, 0);
    ::SetCursorPos(at.x, at.y);
    m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    img = m_view->grab().toImage();
    EXPECT_GT(InkOf(img, 0, 0, visited), 0) << "opened once: visited from then on";
    EXPECT_EQ(InkOf(img, 0, 0, link), 0);
    EXPECT_GT(InkOf(img, 0, 1, link), 0) << "the other link is still unvisited";
}

}  // namespace
