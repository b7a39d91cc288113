// The gradient, lens-blur and star-light dialogs and the logo settings:
// blocks from the defaults, the band's markers, the lens preview, missing
// skin pictures, the night-shot test, clicks and spins, and grabs.
#include "RepairTestSupport.h"

#include "editor/adjust/GradientFilterDlg.h"
#include "editor/adjust/LensBlurDlg.h"
#include "editor/adjust/LogoSettingsDlg.h"
#include "editor/adjust/RepairRules.h"
#include "editor/adjust/StarLightDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/CommDlg.h"


namespace {

using adjusttest::SamePixels;

class LensEffectDlgTest : public repairtest::RepairDialogTest {
protected:
    // A dark photo with a few lights: a night shot.
    void OpenNightPhoto()
    {
        shelltest::MakeImage(&thePhotoDocument.m_image, 400, 300, [](int x, int y) {
            const bool light = x % 40 == 0 && y % 30 == 0;
            const BYTE v = light ? 250 : 20;
            return CPixel{v, v, v, 255};
        });
        thePhotoDocument.m_history.Reset();
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
    }
    // Whether the dialog came up at all.
    template <class Dlg>
    bool Opens()
    {
        bool opened = false;
        Run<Dlg>([&opened](Dlg*) {
            opened = true;
            return IDCANCEL;
        });
        return opened;
    }
};

TEST_F(LensEffectDlgTest, GradientBlockModesAndLens)
{
    OpenPhoto(320, 240);
    m_other = [](CWnd* dialog) {
        auto* colour = dynamic_cast<CColorDialog*>(dialog);
        if (!colour)
            return IDCANCEL;
        colour->SetCurrentColor(RGB(0, 255, 0));
        return IDOK;
    };
    Run<CGradientFilterDlg>([](CGradientFilterDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        const GradientFilterParams& b = dlg->block;
        EXPECT_EQ(b.tintMode, 0);
        EXPECT_EQ(b.offset, -20);
        EXPECT_EQ(b.colorStart.r, 0);
        EXPECT_EQ(b.colorEnd.r, 255);
        EXPECT_EQ(b.startPercent, 40);
        EXPECT_EQ(b.endPercent, 60);
        EXPECT_EQ(b.amount, 50);
        EXPECT_DOUBLE_EQ(b.angle, 75 * 2 * M_PI / 100);
        // Black and white: the swatches show black and white, no swap.
        EXPECT_EQ(dlg->ShownColour(0).r, 0);
        EXPECT_EQ(dlg->ShownColour(1).b, 255);
        EXPECT_FALSE(dlg->GetDlgItem(IDC_GRADIENT_SWAP)->IsWindowEnabled());
        EXPECT_TRUE(dlg->GetDlgItem(IDC_GRADIENT_EXPOSURE)->IsWindowEnabled());
        // The lens: a ring around the filtered disc.
        UINT w = 0, h = 0;
        dlg->lens.GetSize(&w, &h);
        EXPECT_GT(w, 20u);
        const int R = static_cast<int>(std::min(w, h)) / 2 - 5;
        EXPECT_EQ(dlg->lens.GetPixel2(0, 0).g, 128);
        const double cx = w / 2.0, cy = h / 2.0;
        const int ringX = static_cast<int>(cx + R + 1);
        if (std::fabs(ringX - cx - (R + 1)) < 0.01)
            EXPECT_EQ(dlg->lens.GetPixel2(ringX, static_cast<int>(cy)).g, 0);

        // Colourful: red and blue, swap enabled and working.
        SelectCombo(dlg, IDC_GRADIENT_MODE, 1);
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.colorStart.r, 255);
        EXPECT_EQ(dlg->block.colorEnd.b, 255);
        EXPECT_TRUE(dlg->GetDlgItem(IDC_GRADIENT_SWAP)->IsWindowEnabled());
        EXPECT_FALSE(dlg->GetDlgItem(IDC_GRADIENT_EXPOSURE)->IsWindowEnabled());
        Click(dlg, IDC_GRADIENT_SWAP);
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.colorStart.b, 255);
        EXPECT_EQ(dlg->block.colorEnd.r, 255);
        // A swatch click asks the colour dialog; the choice comes back at brightness 128.
        dlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GRADIENT_FIRST, STN_CLICKED),
                         reinterpret_cast<LPARAM>(dlg->GetDlgItem(IDC_GRADIENT_FIRST)->m_hWnd));
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.colorStart.g, 128);
        EXPECT_EQ(dlg->block.colorStart.r, 0);
        EXPECT_EQ(dlg->block.colorStart.b, 0);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(LastStep(), "Gradient Filter");
}

TEST_F(LensEffectDlgTest, GradientMarkersCannotCross)
{
    OpenPhoto(320, 240);
    Run<CGradientFilterDlg>([](CGradientFilterDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        const RECT band = dlg->BandRect();
        // The start marker dragged far right, then the end marker far left.
        RECT s = dlg->StartMarker();
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(s.left + 2, s.top + 2));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(band.right + 100, s.top + 2));
        dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(band.right + 100, s.top + 2));
        EXPECT_GE(dlg->EndMarker().left - dlg->StartMarker().right, repair::kMarkerGap);
        RECT e = dlg->EndMarker();
        dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(e.right - 2, e.top + 2));
        dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(band.left - 100, e.top + 2));
        dlg->SendMessage(WM_LBUTTONUP, 0, 0);
        EXPECT_GE(dlg->EndMarker().left - dlg->StartMarker().right, repair::kMarkerGap);
        EXPECT_GE(dlg->StartMarker().left, band.left);
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.startPercent, dlg->startPercent);
        EXPECT_EQ(dlg->block.endPercent, dlg->endPercent);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(LensEffectDlgTest, LensBlurRunsItsPipeline)
{
    OpenPhoto(480, 360);
    CQLImage original;
    original.DuplicateFrom(&thePhotoDocument.m_image);
    Run<CLensBlurDlg>([](CLensBlurDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.radius, 8);
        EXPECT_EQ(dlg->block.highlights, 1);
        Click(dlg, IDC_LENS_POLYGON6);
        MoveSlider(dlg, IDC_LENS_RADIUS, 12);
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->shape, 1);
        EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_LENS_POLYGON6), BST_CHECKED);
        EXPECT_EQ(dlg->IsDlgButtonChecked(IDC_LENS_ROUND), BST_UNCHECKED);
        dlg->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    });
    EXPECT_EQ(LastStep(), "Lose Focus Blur");
    // The same shrink, blur and enlarge straight from the pipeline.
    CQLImage shapes, expected;
    ASSERT_EQ(shapes.LoadFromFile((std::string(QUILLO_PROGRAM_DIR) + "/skin/lenblur.bmp").c_str()), 0);
    repair::LensBlurPipeline pipeline;
    pipeline.SetShape(&shapes, 1);
    pipeline.SetImages(&original, &expected);
    LoseFocusParams block{};
    block.radius = 12;
    block.highlights = 1;
    ASSERT_EQ(pipeline.Apply(&block), 0);
    EXPECT_TRUE(SamePixels(expected, thePhotoDocument.m_image));
}

TEST_F(LensEffectDlgTest, MissingSkinPicturesCloseTheDialogs)
{
    OpenNightPhoto();
    struct Case {
        const char* file;
        const char* text;
        std::function<bool()> opens;
    };
    const Case cases[] = {
        {"lenblur.bmp", "File not found!", [this] { return Opens<CLensBlurDlg>(); }},
        {"star.bmp", "File miss: star.bmp, please reinstall!", [this] { return Opens<CStarLightDlg>(); }},
    };
    for (const Case& c : cases) {
        UseSkinWithout(c.file);
        m_boxes.clear();
        EXPECT_FALSE(c.opens()) << c.file;
        ASSERT_EQ(m_boxes.size(), 1u) << c.file;
        EXPECT_EQ(m_boxes[0].text, c.text);
    }
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(LensEffectDlgTest, StarLightNightTestAndBlock)
{
    // A bright daytime photo: the warning, and the range stays at 240.
    shelltest::MakeImage(&thePhotoDocument.m_image, 320, 240, [](int x, int) {
        const BYTE v = static_cast<BYTE>(160 + x / 4);
        return CPixel{v, v, v, 255};
    });
    Run<CStarLightDlg>([](CStarLightDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.threshold, 240);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].caption, "Warning");
    EXPECT_EQ(m_boxes[0].text, "This effect is better for nightshot photo!");

    m_boxes.clear();
    OpenNightPhoto();
    Run<CStarLightDlg>([](CStarLightDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->block.threshold, 239); // the highest level 250, less 11
        EXPECT_EQ(dlg->block.intensity, 20);
        EXPECT_EQ(dlg->block.colour, 0);
        EXPECT_EQ(dlg->block.star, &dlg->star);
        UINT w = 0, h = 0;
        dlg->star.GetSize(&w, &h);
        EXPECT_EQ(w, 64u); // 2 x Size
        EXPECT_EQ(dlg->star.GetPixel2(0, 0).r, 0);
        EXPECT_GT(dlg->star.GetPixel2(32, 32).r, 128);
        // A change while a job runs, then Cancel: the job stops and the photo stays.
        MoveSlider(dlg, IDC_STAR_AMOUNT, 90);
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(theAlgorithmThread.IsBusy());
        return qlafx::kModalRun;
    });
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
}

TEST_F(LensEffectDlgTest, LogoClicksSpinsAndMask)
{
    CLogoSettingsDlg dlg;
    std::vector<std::string> filterLabels;
    const std::string chosen = m_folder.Path() + "logo.png";
    m_work = [&](CWnd* dialog) {
        if (auto* files = dynamic_cast<CFileDialog*>(dialog)) {
            for (const qlafx::FileFilter& f : qlafx::ParseFileFilter(files->m_ofn.lpstrFilter))
                filterLabels.push_back(f.label);
            qlafx::AnswerFileDialog(*files, {chosen});
            return IDOK;
        }
        auto* d = dynamic_cast<CLogoSettingsDlg*>(dialog);
        if (!d)
            return IDCANCEL;
        Click(d, IDC_LOGO_BROWSE);
        CString logo;
        d->GetDlgItemText(IDC_LOGO_FILE, logo);
        EXPECT_EQ(std::string(logo), chosen);
        const RECT photo = d->PhotoRect();
        struct Click {
            POINT at;
            int x, y;
        };
        // Rounded up, so that integer percent gives 50 exactly.
        const int midX = photo.left + (photo.right - photo.left + 1) / 2;
        const int midY = photo.top + (photo.bottom - photo.top + 1) / 2;
        for (const Click c : {Click{{photo.left, photo.top}, 0, 0}, Click{{photo.left - 10, photo.top - 10}, -1, -1},
                              Click{{midX, midY}, 50, 50}}) {
            d->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.at.x, c.at.y));
            if (c.x < 0) {
                EXPECT_LT(d->logoX, 0);
                EXPECT_LT(d->logoY, 0);
            } else {
                EXPECT_EQ(d->logoX, c.x);
                EXPECT_EQ(d->logoY, c.y);
            }
            EXPECT_EQ(static_cast<int>(d->GetDlgItemInt(IDC_LOGO_X, nullptr, TRUE)), d->logoX);
        }
        // The size spin stops at 40; typing allows up to 100.
        auto spin = [d](UINT id, int delta) {
            NMUPDOWN nm{};
            nm.hdr = NMHDR{d->GetDlgItem(id)->m_hWnd, id, UDN_DELTAPOS};
            nm.iDelta = delta;
            d->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&nm));
        };
        d->SetDlgItemInt(IDC_LOGO_SIZE, 39, FALSE);
        spin(IDC_LOGO_SIZE_SPIN, -1);
        spin(IDC_LOGO_SIZE_SPIN, -1);
        EXPECT_EQ(d->GetDlgItemInt(IDC_LOGO_SIZE, nullptr, FALSE), 40u);
        d->SetDlgItemInt(IDC_LOGO_X, 199, TRUE);
        spin(IDC_LOGO_X_SPIN, -5);
        EXPECT_EQ(d->logoX, 200);
        // The mask only with "Using Mask".
        EXPECT_FALSE(d->GetDlgItem(IDC_LOGO_MASK)->IsWindowEnabled());
        for (int mode : {2, 3}) {
            SelectCombo(d, IDC_LOGO_MODE, mode);
            EXPECT_EQ(d->GetDlgItem(IDC_LOGO_MASK)->IsWindowEnabled() != FALSE, mode == 2);
            EXPECT_EQ(d->GetDlgItem(IDC_LOGO_MASK_BROWSE)->IsWindowEnabled() != FALSE, mode == 2);
        }
        d->SetDlgItemInt(IDC_LOGO_SIZE, 100, FALSE);
        d->SetDlgItemInt(IDC_LOGO_X, 50, TRUE);
        d->SendMessage(WM_COMMAND, IDOK, 0);
        return qlafx::kModalRun;
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(filterLabels, (std::vector<std::string>{"All Image Files", "Windows Bitmap Files(*.bmp)",
                                                      "Jpeg Files(*.jpg;*.jpeg)", "Tagged Image File Format(*.tif;*.tiff)",
                                                      "Compuserve GIF(*.gif)", "Portable Network Graphics(*.png)",
                                                      "Zsoft PaintBrush Fils(*.pcx)", "Truevision Targa(*.tga)"}));
    EXPECT_EQ(std::string(dlg.logoFile), chosen);
    EXPECT_EQ(dlg.logoSize, 100u);
    EXPECT_EQ(dlg.logoX, 50);
    EXPECT_EQ(dlg.overlayMode, 3);
}

TEST_F(LensEffectDlgTest, LogoRefusesOutOfRangeValues)
{
    CLogoSettingsDlg dlg;
    dlg.logoSize = 10;
    m_work = [](CWnd* dialog) {
        auto* d = dynamic_cast<CLogoSettingsDlg*>(dialog);
        if (!d)
            return IDCANCEL;
        d->SetDlgItemInt(IDC_LOGO_SIZE, 101, FALSE);
        d->SendMessage(WM_COMMAND, IDOK, 0);
        // Still open: the value was refused.
        EXPECT_TRUE(::IsWindow(d->m_hWnd));
        d->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(m_boxes.size(), 1u);
}

TEST_F(LensEffectDlgTest, GrabsOfCorpusPhotos)
{
    if (!OpenForGrab("exif-org/olympus-c960.jpg"))
        GTEST_SKIP() << "corpus photo absent";
    std::string grab;
    Run<CGradientFilterDlg>([&](CGradientFilterDlg* dlg) {
        SelectCombo(dlg, IDC_GRADIENT_MODE, 1);
        EXPECT_TRUE(WaitForJobs(dlg));
        grab = Grab(dlg, "adjust-gradient");
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(grab.empty());

    ASSERT_TRUE(OpenForGrab("hdr/canon_hdr_NO.jpg"));
    grab.clear();
    Run<CLensBlurDlg>([&](CLensBlurDlg* dlg) {
        Click(dlg, IDC_LENS_POLYGON6);
        MoveSlider(dlg, IDC_LENS_RADIUS, 12);
        EXPECT_TRUE(WaitForJobs(dlg));
        grab = Grab(dlg, "adjust-lensblur");
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(grab.empty());

    // sony-d700 passes the night test with range 244; 6 beams.
    ASSERT_TRUE(OpenForGrab("exif-org/sony-d700.jpg"));
    grab.clear();
    m_boxes.clear();
    Run<CStarLightDlg>([&](CStarLightDlg* dlg) {
        EXPECT_TRUE(WaitForJobs(dlg));
        EXPECT_EQ(dlg->range, 244);
        EXPECT_EQ(dlg->shape, 1);
        grab = Grab(dlg, "adjust-starlight");
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    });
    EXPECT_FALSE(grab.empty());
    EXPECT_TRUE(m_boxes.empty());

    ASSERT_TRUE(OpenForGrab("gps/DSCN0010.jpg"));
    m_boxes.clear();
    Run<CStarLightDlg>([](CStarLightDlg*) { return IDCANCEL; });
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "This effect is better for nightshot photo!");

    grab.clear();
    CLogoSettingsDlg logo;
    m_work = [&grab](CWnd* dialog) {
        auto* d = dynamic_cast<CLogoSettingsDlg*>(dialog);
        if (!d)
            return IDCANCEL;
        const RECT photo = d->PhotoRect();
        d->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                       MAKELPARAM(photo.left + (photo.right - photo.left + 1) / 2,
                                  photo.top + (photo.bottom - photo.top + 1) / 2));
        EXPECT_EQ(d->logoX, 50);
        EXPECT_EQ(d->logoY, 50);
        grab = Grab(d, "adjust-logo");
        d->SendMessage(WM_COMMAND, IDCANCEL, 0);
        return qlafx::kModalRun;
    };
    logo.DoModal();
    EXPECT_FALSE(grab.empty());
}

} // namespace
