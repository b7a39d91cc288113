// The skin's resource pictures are compiled into the editor's controls.
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

TEST(SkinResources, BackgroundBitmapAndHandCursorLoad)
{
    HBITMAP bitmap = LoadBitmap(AfxGetInstanceHandle(), MAKEINTRESOURCE(329));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_NE(GetObject(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 32);
    EXPECT_EQ(info.bmHeight, 32);
    DeleteObject(bitmap);

    HCURSOR hand = LoadCursor(AfxGetInstanceHandle(), MAKEINTRESOURCE(131));
    ASSERT_NE(hand, nullptr);
    POINT hot{-1, -1};
    const QImage picture = qlafx::IconImage(hand, &hot);
    EXPECT_EQ(picture.size(), QSize(32, 32));
    EXPECT_EQ(hot.x, 10) << "the fingertip";
    EXPECT_EQ(hot.y, 1);
}
