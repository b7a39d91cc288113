#include "platform/afx/AfxString.h"
#include "platform/afx/AfxTypes.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(WndTypes, RectOperations)
{
    struct Case {
        RECT a, b;
        RECT inter;
        BOOL interOk;
        RECT uni;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 10, 10}, TRUE, {0, 0, 15, 15}},
        {{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 0, 0}, FALSE, {0, 0, 20, 10}},
        {{0, 0, 0, 0}, {2, 2, 4, 4}, {0, 0, 0, 0}, FALSE, {2, 2, 4, 4}},
    };
    for (const Case& c : cases) {
        CRect r;
        EXPECT_EQ(r.IntersectRect(&c.a, &c.b), c.interOk);
        EXPECT_EQ(r, CRect(c.inter));
        r.UnionRect(&c.a, &c.b);
        EXPECT_EQ(r, CRect(c.uni));
    }
    CRect r(10, 20, 30, 60);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_EQ(r.CenterPoint(), CPoint(20, 40));
    EXPECT_TRUE(r.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(r.PtInRect(CPoint(30, 20))) << "right edge is outside";
    r.TopLeft() = CPoint(0, 0);
    EXPECT_EQ(r, CRect(0, 0, 30, 60));
    r.DeflateRect(5, 10);
    EXPECT_EQ(r, CRect(5, 10, 25, 50));
    CRect flipped(10, 10, 0, 0);
    EXPECT_TRUE(flipped.IsRectEmpty());
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, CRect(0, 0, 10, 10));
    EXPECT_EQ(CPoint(MAKELPARAM(static_cast<WORD>(-3), 7)), CPoint(-3, 7)) << "signed mouse coordinates";
}

TEST(WndTypes, StringMembers)
{
    CString s("  Photo.JPG  ");
    s.Trim();
    EXPECT_EQ(s, "Photo.JPG");
    EXPECT_EQ(s.ReverseFind('.'), 5);
    EXPECT_EQ(s.Right(3), "JPG");
    EXPECT_EQ(s.Left(5), "Photo");
    EXPECT_EQ(s.Mid(6), "JPG");
    EXPECT_EQ(s.Mid(20), "");
    CString lower = s;
    lower.MakeLower();
    EXPECT_EQ(lower, "photo.jpg");
    EXPECT_EQ(s.CompareNoCase("PHOTO.jpg"), 0);
    CString f;
    f.Format("%d-%s", 42, "x");
    EXPECT_EQ(f, "42-x");
    EXPECT_EQ(f.Replace("-", "--"), 1);
    EXPECT_EQ(f, "42--x");
    char* buf = f.GetBuffer(64);
    strcpy(buf, "abc");
    f.ReleaseBuffer();
    EXPECT_EQ(f.GetLength(), 3);
    EXPECT_EQ(CString("a") + "b" + 'c', "abc");
    EXPECT_EQ(f.Find("bc"), 1);
    EXPECT_EQ(f.Find('z'), -1);
}
