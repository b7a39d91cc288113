#include "platform/afx/Afx.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A frame that takes dropped files, as the editor's main window does.
class CDropFrame : public CWnd {
public:
    std::vector<std::string> m_files;
    POINT m_point{-1, -1};
    int m_drops = 0;

protected:
    void OnDropFiles(HDROP drop)
    {
        ++m_drops;
        const UINT count = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            char path[512];
            DragQueryFile(drop, i, path, sizeof path);
            m_files.push_back(path);
        }
        DragQueryPoint(drop, &m_point);
        DragFinish(drop);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDropFrame, CWnd)
    ON_WM_DROPFILES()
END_MESSAGE_MAP()

// Files dropped on the view reach the frame that accepts them, with the
// point in the frame's client coordinates; a long path arrives cut to the
// caller's buffer.
TEST(DragDrop, DropOnAViewReachesTheAcceptingFrame)
{
    CDropFrame frame;
    ASSERT_TRUE(frame.CreateEx(0, TestClass(), "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    CWnd view;
    ASSERT_TRUE(view.CreateEx(0, TestClass(), "", WS_CHILD | WS_VISIBLE, 20, 10, 200, 150, frame.m_hWnd, nullptr));
    frame.DragAcceptFiles();

    const std::string longName = "/photos/" + std::string(600, 'x') + ".jpg";
    SendFileDrop(view.GetWidget(), {QUrl::fromLocalFile("/photos/a b.jpg"), QUrl::fromLocalFile(QString::fromStdString(longName))},
         QPoint(5, 6));
    ASSERT_EQ(frame.m_drops, 1);
    ASSERT_EQ(frame.m_files.size(), 2u);
    EXPECT_EQ(frame.m_files[0], "/photos/a b.jpg");
    EXPECT_EQ(frame.m_files[1], longName.substr(0, 511)) << "cut to the 512-byte buffer, NUL included";
    EXPECT_EQ(frame.m_point.x, 25);
    EXPECT_EQ(frame.m_point.y, 16);

    frame.DragAcceptFiles(FALSE);
    SendFileDrop(view.GetWidget(), {QUrl::fromLocalFile("/photos/c.jpg")}, QPoint(5, 6));
    EXPECT_EQ(frame.m_drops, 1) << "no longer accepting";
    frame.DestroyWindow();
}

} // namespace
