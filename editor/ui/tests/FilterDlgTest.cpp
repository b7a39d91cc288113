// The effect dialog base: its run cycle with a slow test effect, the layout
// of the five view modes, the profile keys, the view-mode strip and the
// layer set-up, and offscreen grabs on a real photo.
#include "EffectDialogTestEnv.h"
#include "SkinTestSupport.h"

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/GaussianBlur.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/FilterDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT IDD_FILTER_TEST = 9300;

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_FILTER_TEST, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT, 0, 0, 0, 140, 160, "Filter test",
     "MS Shell Dlg", 8,
     {
         {"Static", "Radius", 0xFFFF, 7, 10, 60, 8, WS_VISIBLE | SS_LEFT},
         {"Button", "OK", IDOK, 20, 135, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 80, 135, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

using effecttest::PumpUntil;

// Writes its value into every blue byte of a copy of the source; holds
// while its value equals holdValue (until cancelled), fails on request.
class SlowEffect : public EffectAlgorithm {
public:
    std::atomic<int> value{0};
    std::atomic<int> holdValue{-1};
    std::atomic<bool> fail{false};
    std::atomic<bool> holding{false};
    std::mutex m;
    std::vector<int> seen;

    std::vector<int> Seen()
    {
        std::lock_guard g(m);
        return seen;
    }

    HRESULT Apply(const void*) override
    {
        cancelRequested.store(0);
        const int v = value.load();
        {
            std::lock_guard g(m);
            seen.push_back(v);
        }
        while (holdValue.load() == v) {
            holding = true;
            Progress(10);  // lets a stop that came before the start reach us
            if (TestCancel()) {
                holding = false;
                return E_FAIL;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        holding = false;
        if (fail.load() || !CopySourceToTarget())
            return E_FAIL;
        BYTE* p = target->GetBuffer(0, 0);
        for (UINT i = 0; i < target->GetAreaByteSize(); i += 4)
            p[i] = static_cast<BYTE>(v);
        Progress(100);
        return 0;
    }
};

class CSlowFilterDlg : public CFilterDlg {
public:
    CSlowFilterDlg() : CFilterDlg(IDD_FILTER_TEST, nullptr) { dialogKey = "SlowTest"; }
    ~CSlowFilterDlg() override { StopJobAndWait(); }

    BOOL OnInitDialog() override
    {
        CFilterDlg::OnInitDialog();
        UpdatePreview();
        return TRUE;
    }
    void RunAlgorithm() override
    {
        effect.value = value;
        effect.SetImages(CurrentImage(), GetWorkImage());
        RunJob(&effect, nullptr, 7, 0, 100);
    }
    void RecalcLayout() override
    {
        ++layouts;
        CFilterDlg::RecalcLayout();
    }
    // What every OK of a derived dialog does: the final result or nothing.
    void OnOK() override
    {
        okResult = WaitForFinalResult();
        if (okResult != 0) {
            MessageBox(theUITextTable.GetText(137), nullptr, MB_OK | MB_ICONERROR);
            return;
        }
        applied.DuplicateFrom(&result);
        CFilterDlg::OnOK();
    }

    SlowEffect effect;
    int value = 1;
    int layouts = 0;
    int okResult = -100;
    CQLImage applied;
};

// The application object with a private profile, the skin from the
// program folder, a photo in the document and the algorithm thread.
class FilterDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        skintest::Fill(&thePhotoDocument.m_image, 320, 240, CPixel{100, 150, 200, 255});
        ::SetCursorPos(3000, 3000);
    }
    void TearDown() override
    {
        dlg.reset();
        qlafx::ProcessPendingEvents();
    }
    CSlowFilterDlg& Open()
    {
        dlg = std::make_unique<CSlowFilterDlg>();
        EXPECT_TRUE(dlg->Create(IDD_FILTER_TEST));
        qlafx::ProcessPendingEvents();
        return *dlg;
    }
    bool Idle() { return PumpUntil([&] { return !dlg->JobPending() && dlg->rerunPending == 0; }); }
    static int ProfileInt(const char* section, const char* key) { return effecttest::ProfileInt(section, key); }
    static RECT ChildRect(CWnd& parent, CWnd& child)
    {
        RECT r;
        child.GetWindowRect(&r);
        parent.ScreenToClient(&r);
        return r;
    }
    // Resizes the dialog until its client area is width x height (the
    // frame the layer adds is found by trying).
    static void SetClientWidth(CWnd& w, int width, int height)
    {
        RECT window, client;
        w.GetWindowRect(&window);
        int cx = window.right - window.left, cy = window.bottom - window.top;
        for (int attempt = 0; attempt < 4; ++attempt) {
            w.GetClientRect(&client);
            if (client.right == width && client.bottom == height)
                return;
            cx += width - client.right;
            cy += height - client.bottom;
            w.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
            qlafx::ProcessPendingEvents();
        }
        w.GetClientRect(&client);
        ASSERT_EQ(client.right, width);
        ASSERT_EQ(client.bottom, height);
    }

    std::unique_ptr<CSlowFilterDlg> dlg;
};

std::string Text(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ","
        + std::to_string(r.bottom) + ")";
}

BYTE BlueOf(const CQLImage& image) { return image.GetAreaByteSize() ? image.GetBuffer(0, 0)[0] : 0; }

TEST_F(FilterDlgTest, FirstRunShowsItsResult)
{
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.effect.Seen(), std::vector<int>{1});
    EXPECT_EQ(BlueOf(d.result), 1);
    EXPECT_EQ(BlueOf(thePhotoDocument.m_image), 100);
    EXPECT_EQ(d.resultHistogram[1][kHistB], 320u * 240u);
}

TEST_F(FilterDlgTest, TwoChangesDuringOneJobGiveExactlyOneRerunWithTheLastValues)
{
    dlg = std::make_unique<CSlowFilterDlg>();
    dlg->effect.holdValue = 1;
    ASSERT_TRUE(dlg->Create(IDD_FILTER_TEST));
    CSlowFilterDlg& d = *dlg;
    ASSERT_TRUE(PumpUntil([&] { return d.effect.holding.load(); }));
    d.value = 2;
    d.UpdatePreview();
    d.value = 3;
    d.UpdatePreview();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.effect.Seen(), (std::vector<int>{1, 3}));
    EXPECT_EQ(BlueOf(d.result), 3);
}

// The cancelled job's half-made picture never reaches the result.
TEST_F(FilterDlgTest, CancelledJobLeavesThePreviousResult)
{
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    d.effect.holdValue = 4;
    d.value = 4;
    d.UpdatePreview();
    ASSERT_TRUE(PumpUntil([&] { return d.effect.holding.load(); }));
    d.effect.fail = true;
    d.value = 5;
    d.UpdatePreview();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.effect.Seen(), (std::vector<int>{1, 4, 5}));
    EXPECT_EQ(BlueOf(d.result), 1);
}

TEST_F(FilterDlgTest, OkDuringAPendingRerunAppliesTheFinalResult)
{
    dlg = std::make_unique<CSlowFilterDlg>();
    dlg->effect.holdValue = 1;
    ASSERT_TRUE(dlg->Create(IDD_FILTER_TEST));
    CSlowFilterDlg& d = *dlg;
    ASSERT_TRUE(PumpUntil([&] { return d.effect.holding.load(); }));
    d.value = 9;
    d.UpdatePreview();
    EXPECT_EQ(d.rerunPending, 1);
    d.SendMessage(WM_COMMAND, IDOK, 0);
    EXPECT_EQ(d.okResult, 0);
    EXPECT_EQ(BlueOf(d.applied), 9);
    EXPECT_EQ(d.effect.Seen(), (std::vector<int>{1, 9}));
}

// A failing effect is run once more at OK; still failing, nothing is applied
// and the user reads "Unexpected error".
TEST_F(FilterDlgTest, OkWithAFailingEffectAppliesNothing)
{
    dlg = std::make_unique<CSlowFilterDlg>();
    dlg->effect.fail = true;
    ASSERT_TRUE(dlg->Create(IDD_FILTER_TEST));
    CSlowFilterDlg& d = *dlg;
    ASSERT_TRUE(Idle());
    std::vector<std::string> boxes;
    qlafx::SetModalHook([&](CWnd*, const char*, const char* text, UINT) {
        boxes.push_back(text ? text : "");
        return IDOK;
    });
    d.SendMessage(WM_COMMAND, IDOK, 0);
    qlafx::SetModalHook({});
    EXPECT_NE(d.okResult, 0);
    EXPECT_EQ(d.applied.GetAreaByteSize(), 0u);
    EXPECT_EQ(d.effect.Seen(), (std::vector<int>{1, 1}));
    EXPECT_EQ(boxes, std::vector<std::string>{"Unexpected error"});
    EXPECT_TRUE(d.IsWindowVisible());
}

TEST_F(FilterDlgTest, FilterInitMaxIsWrittenOnCancelAsOnOk)
{
    for (UINT command : {IDCANCEL, IDOK}) {
        WritePrivateProfileString("FilterInitMax", "SlowTest", "7", effecttest::ProfilePath().c_str());
        CSlowFilterDlg& d = Open();
        ASSERT_TRUE(Idle());
        d.maximized = 1;
        d.SendMessage(WM_COMMAND, command, 0);
        EXPECT_EQ(ProfileInt("FilterInitMax", "SlowTest"), 1) << command;
        dlg.reset();
    }
}

struct LayoutCase {
    int mode;
    int clientWidth;
};

// The layout of every mode at the narrow limit and one pixel wider.
TEST_F(FilterDlgTest, RecalcLayoutPlacesEveryModeAtBothWidths)
{
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    const int w = d.templateRect.right;
    const int height = 300;
    for (int width : {360, 361}) {
        for (int mode = 0; mode < 5; ++mode) {
            SCOPED_TRACE(testing::Message() << "width " << width << " mode " << mode);
            SetClientWidth(d, width, height);
            d.modeBar.mode = mode;
            d.RecalcLayout();
            const RECT p{w + 5, 30, width - 10, height - 35};
            const int midX = (p.left + p.right) / 2, midY = (p.top + p.bottom) / 2;
            const RECT result = ChildRect(d, d.resultView), source = ChildRect(d, d.sourceView);
            switch (mode) {
            case 0:
            case 1:
                EXPECT_EQ(Text(result), Text(CRect(p)));
                EXPECT_FALSE(d.sourceView.IsWindowVisible());
                break;
            case 2:
                EXPECT_EQ(Text(source), Text(CRect(p.left, p.top, midX, p.bottom)));
                EXPECT_EQ(Text(result), Text(CRect(midX, p.top, p.right, p.bottom)));
                break;
            case 3:
                EXPECT_EQ(Text(source), Text(CRect(p.left, p.top, p.right, midY)));
                EXPECT_EQ(Text(result), Text(CRect(p.left, midY, p.right, p.bottom)));
                break;
            case 4:
                EXPECT_EQ(Text(source), Text(CRect(p.left, p.top, midX, p.bottom - 70)));
                EXPECT_EQ(Text(result), Text(CRect(midX, p.top, p.right, p.bottom - 70)));
                EXPECT_EQ(Text(d.sourceHistRect), Text(CRect(p.left, p.bottom - 70, midX, p.bottom)));
                EXPECT_EQ(Text(d.resultHistRect), Text(CRect(midX, p.bottom - 70, p.right, p.bottom)));
                break;
            }
            if (mode >= 2)
                EXPECT_TRUE(d.sourceView.IsWindowVisible());
            const bool narrow = width <= 360;
            EXPECT_EQ(Text(ChildRect(d, d.selectButton)), Text(narrow ? CRect(width - 155, 5, width - 155 + 118, 25) : CRect(width - 235, 5, width - 75, 25)));
            EXPECT_EQ(Text(ChildRect(d, d.layerButton)), Text(narrow ? CRect(width - 37, 5, width - 5, 25) : CRect(width - 70, 5, width - 10, 25)));
            EXPECT_EQ(Text(ChildRect(d, d.modeBar)), Text(CRect(w + 5, 5, w + 105, 25)));
            EXPECT_EQ(Text(ChildRect(d, d.percentBar)), Text(CRect(w + 5, height - 25, width - 5, height - 10)));
            EXPECT_EQ(Text(ChildRect(d, *d.GetDlgItem(IDCANCEL))), Text(CRect(w - 90, height - 35, w - 10, height - 10)));
            EXPECT_EQ(Text(ChildRect(d, *d.GetDlgItem(IDOK))), Text(CRect(w - 180, height - 35, w - 100, height - 10)));
        }
    }
}

TEST_F(FilterDlgTest, ModesZeroAndOneSwapTheImageKeepingLayoutZoomAndScroll)
{
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    d.modeBar.mode = 1;
    d.SetViewMode(1);
    d.resultView.ZoomAtCenter(TRUE);
    d.resultView.ZoomAtCenter(TRUE);
    d.resultView.SetScrollZoom(d.resultView.m_scrollX + 7, d.resultView.m_scrollY + 5, d.resultView.m_zoom);
    const double zoom = d.resultView.m_zoom;
    const int sx = d.resultView.m_scrollX, sy = d.resultView.m_scrollY;
    const RECT place = ChildRect(d, d.resultView);
    const int layouts = d.layouts;
    for (int mode : {0, 1, 0}) {
        d.modeBar.mode = mode;
        d.SetViewMode(mode);
        EXPECT_EQ(d.resultView.GetImage(), mode == 0 ? &thePhotoDocument.m_image : &d.result);
        EXPECT_EQ(d.resultView.m_zoom, zoom);
        EXPECT_EQ(d.resultView.m_scrollX, sx);
        EXPECT_EQ(d.resultView.m_scrollY, sy);
        EXPECT_EQ(Text(ChildRect(d, d.resultView)), Text(CRect(place)));
        EXPECT_EQ(d.layouts, layouts);
    }
    // Another mode lays out again.
    d.modeBar.mode = 2;
    d.SetViewMode(2);
    EXPECT_EQ(d.layouts, layouts + 1);
    EXPECT_TRUE(d.sourceView.IsWindowVisible());
}

TEST_F(FilterDlgTest, ZoomOfOnePreviewFollowsInTheOther)
{
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    d.modeBar.mode = 2;
    d.SetViewMode(2);
    d.sourceView.ZoomAtCenter(TRUE);
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(d.resultView.m_zoom, d.sourceView.m_zoom);
    EXPECT_EQ(d.resultView.m_scrollX, d.sourceView.m_scrollX);
}

TEST_F(FilterDlgTest, MaskSetDirectlyLimitsTheResultAndRenamesTheButton)
{
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    EXPECT_FALSE(d.selectButton.IsWindowEnabled());  // no "Select an Area" runner is set
    CQLChannel mask;
    ASSERT_EQ(mask.Create(320, 240), 0);
    std::memset(mask.GetBuffer(0, 0), 0, mask.GetAreaByteSize());
    for (int y = 0; y < 240; ++y)
        for (int x = 160; x < 320; ++x)
            mask.Set(x, y, 255);
    d.value = 40;
    d.SetSelectionMask(&mask);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.result.GetBuffer(10, 10)[0], 100);   // outside: the photo
    EXPECT_EQ(d.result.GetBuffer(200, 10)[0], 40);   // inside: the effect
    CString text;
    d.selectButton.GetWindowText(text);
    EXPECT_STREQ(text.GetString(), "Modify/Remove Selection");
    // Icon 343 just left of the button while the mask is set: its blue disc.
    d.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const RECT button = ChildRect(d, d.selectButton);
    const skintest::Bgr mark = skintest::BgrAt(skintest::SurfaceOf(d.m_hWnd), button.left - 18 + 8, button.top + 2 + 8);
    EXPECT_EQ(mark, (skintest::Bgr{226, 120, 52}));
    CQLChannel empty;
    d.SetSelectionMask(&empty);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(d.selectionMask, nullptr);
    d.selectButton.GetWindowText(text);
    EXPECT_STREQ(text.GetString(), "Apply to Selection");
}

// "Apply to Selection" runs the frame's "Select an Area" and keeps its mask on
// OK only: the effect then changes pixels inside the mask alone.
TEST_F(FilterDlgTest, ApplyToSelectionKeepsTheChosenMask)
{
    static CQLChannel chosen;
    static int answer = IDOK;
    ASSERT_EQ(chosen.Create(320, 240), 0);
    std::memset(chosen.GetBuffer(0, 0), 0, chosen.GetAreaByteSize());
    for (int y = 100; y < 140; ++y)
        for (int x = 100; x < 140; ++x)
            chosen.Set(x, y, 255);
    SetSelectAreaRunner([](CWnd*, const CQLChannel** mask) {
        *mask = &chosen;
        return answer;
    });
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(d.selectButton.IsWindowEnabled());
    d.value = 40;
    answer = IDCANCEL;
    d.SendMessage(WM_COMMAND, IDC_FILTER_SELECT, 0);
    EXPECT_EQ(d.selectionMask, nullptr);
    answer = IDOK;
    d.SendMessage(WM_COMMAND, IDC_FILTER_SELECT, 0);
    ASSERT_TRUE(Idle());
    SetSelectAreaRunner(nullptr);
    ASSERT_NE(d.selectionMask, nullptr);
    EXPECT_EQ(d.result.GetBuffer(120, 120)[0], 40);  // inside
    EXPECT_EQ(d.result.GetBuffer(99, 120)[0], 100);  // just outside
    EXPECT_EQ(d.result.GetBuffer(10, 10)[0], 100);
}

TEST_F(FilterDlgTest, LayerBlendAppliesToEveryNewResult)
{
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    d.layerSetup.blendMode = kBlendDarken;
    d.layerSetup.opacity = 255;
    d.value = 250;
    d.UpdatePreview();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(BlueOf(d.result), 100);  // darken of 100 and 250
    d.layerSetup.blendMode = kBlendLighten;
    d.UpdatePreview();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(BlueOf(d.result), 250);
}

TEST_F(FilterDlgTest, ViewModeBarPicksByClickAndTellsTheDialog)
{
    CSlowFilterDlg& d = Open();
    ASSERT_TRUE(Idle());
    d.modeBar.SetViewMode(2);
    qlafx::ProcessPendingEvents();
    d.modeBar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(65, 10));
    d.modeBar.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(66, 10));
    EXPECT_EQ(d.modeBar.hover, 3);
    d.modeBar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(66, 10));
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(d.modeBar.GetViewMode(), 3);
    EXPECT_EQ(ProfileInt("Interface", "FilterViewMode"), 3);
    EXPECT_TRUE(d.sourceView.IsWindowVisible());
    RECT s = ChildRect(d, d.sourceView), r = ChildRect(d, d.resultView);
    EXPECT_EQ(s.bottom, r.top);  // one above the other
    d.modeBar.SendMessage(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(d.modeBar.hover, -1);
    // The strip: current cell filled, icons drawn over the key colour.
    const QImage strip = skintest::SurfaceOf(d.modeBar.m_hWnd);
    EXPECT_EQ(skintest::BgrAt(strip, 61, 1), (skintest::Bgr{220, 200, 192}));
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 20; ++y)
            ASSERT_NE(skintest::BgrAt(strip, x, y), (skintest::Bgr{0, 255, 0})) << x << "," << y;
}

void SaveGrab(CWnd& w, const char* name);

TEST_F(FilterDlgTest, LayerSetupDialogReadsAndStoresItsControls)
{
    CLayerSetupDlg setup;
    qlafx::SetModalHook([&](CWnd* dialog, const char* caption, const char*, UINT) {
        EXPECT_STREQ(caption, "Layer setup");
        EXPECT_EQ(dialog->SendDlgItemMessage(IDC_LAYER_MODE, CB_GETCOUNT), 9);
        EXPECT_EQ(setup.m_slider.GetRangeMin(), 1);
        EXPECT_EQ(setup.m_slider.GetRangeMax(), 255);
        EXPECT_EQ(setup.m_slider.GetPos(), 255);
        dialog->SendDlgItemMessage(IDC_LAYER_MODE, CB_SETCURSEL, 1);
        setup.m_slider.SetPos(128);
        SaveGrab(*dialog, "layer_setup.png");
        if (dialog->GetDlgItem(IDOK))
            dialog->SendMessage(WM_COMMAND, IDOK, 0);
        return IDOK;
    });
    EXPECT_EQ(setup.DoModal(), IDOK);
    qlafx::SetModalHook({});
    EXPECT_EQ(setup.blendMode, kBlendMultiply);
    EXPECT_EQ(setup.opacity, 128);
    EXPECT_TRUE(setup.IsActive());
    // Opened again it shows the stored values; Cancel keeps them.
    qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) {
        EXPECT_EQ(dialog->SendDlgItemMessage(IDC_LAYER_MODE, CB_GETCURSEL), 1);
        EXPECT_EQ(setup.m_slider.GetPos(), 128);
        dialog->SendDlgItemMessage(IDC_LAYER_MODE, CB_SETCURSEL, 0);
        return IDCANCEL;
    });
    EXPECT_EQ(setup.DoModal(), IDCANCEL);
    qlafx::SetModalHook({});
    EXPECT_EQ(setup.blendMode, kBlendMultiply);
}

// --- Offscreen grabs on a real photo -------------------------------------

std::string Corpus(const char* name)
{
    const std::string path = std::string(QUILLO_CORPUS_DIR) + "/" + name;
    return std::filesystem::exists(path) ? path : std::string();
}

int BlurThroughHost(void* param, FilterHost* host)
{
    const int radius = *static_cast<int*>(param);
    if (!host->CopySourceToTarget())
        return E_FAIL;
    UINT w = 0, h = 0;
    host->GetSource()->GetSize(&w, &h);
    return GaussianBlurPlane(host->GetSource()->GetBuffer(0, 0), host->GetTarget()->GetBuffer(0, 0),
                             static_cast<int>(w), static_cast<int>(h), 4, MakeGaussianKernel(radius), false, nullptr)
        ? 0
        : E_FAIL;
}

class CBlurDlg : public CFilterDlg {
public:
    CBlurDlg() : CFilterDlg(IDD_FILTER_TEST, nullptr) { dialogKey = "BlurTest"; }
    ~CBlurDlg() override { StopJobAndWait(); }
    BOOL OnInitDialog() override
    {
        CFilterDlg::OnInitDialog();
        UpdatePreview();
        return TRUE;
    }
    void RunAlgorithm() override
    {
        host.SetImages(CurrentImage(), GetWorkImage());
        host.SetParam(&radius);
        RunJob(&host, reinterpret_cast<void*>(&BlurThroughHost), 0, 0, 100);
    }
    FilterHost host;
    int radius = 6;
};

void SaveGrab(CWnd& w, const char* name)
{
    w.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    qlafx::ProcessPendingEvents();
    const QImage grab = w.GetWidget()->grab().toImage();
    ASSERT_FALSE(grab.isNull());
    std::filesystem::create_directories(QUILLO_GRAB_DIR);
    const std::string path = std::string(QUILLO_GRAB_DIR) + "/" + name;
    ASSERT_TRUE(grab.save(QString::fromStdString(path)));
    std::printf("grab: %s\n", path.c_str());
}

TEST_F(FilterDlgTest, GrabBlurDialogWithHistograms)
{
    const std::string photo = Corpus("exif-samples/jpg/Canon_40D.jpg");
    if (photo.empty())
        GTEST_SKIP() << "corpus not found";
    CQLImageCodec codec;
    ASSERT_NE(codec.LoadFile(photo.c_str(), &thePhotoDocument.m_image), 0);
    auto blur = std::make_unique<CBlurDlg>();
    blur->modeBar.mode = 4;
    WritePrivateProfileString("Interface", "FilterViewMode", "4", effecttest::ProfilePath().c_str());
    ASSERT_TRUE(blur->Create(IDD_FILTER_TEST));
    blur->SetWindowPos(nullptr, 0, 0, 900, 560, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(PumpUntil([&] { return !blur->JobPending(); }));
    ASSERT_EQ(blur->modeBar.GetViewMode(), 4);
    // Both histograms hold counts and the result differs from the photo.
    uint32_t sourceSum = 0, resultSum = 0;
    for (int v = 0; v < 256; ++v) {
        sourceSum += blur->sourceHistogram[v][kHistLuminance];
        resultSum += blur->resultHistogram[v][kHistLuminance];
    }
    EXPECT_GT(sourceSum, 0u);
    EXPECT_EQ(resultSum, sourceSum);
    EXPECT_NE(std::memcmp(blur->result.GetBuffer(0, 0), thePhotoDocument.m_image.GetBuffer(0, 0),
                          thePhotoDocument.m_image.GetAreaByteSize()),
              0);
    // Inside the histogram strip: no longer the dialog's face.
    const QImage surface = skintest::SurfaceOf(blur->m_hWnd);
    RECT h = blur->sourceHistRect;
    const skintest::Bgr frame = skintest::BgrAt(surface, h.left + 1, (h.top + h.bottom) / 2);
    EXPECT_EQ(frame, (skintest::Bgr{0, 0, 0}));
    SaveGrab(*blur, "filter_dlg_histograms.png");
}

}  // namespace
