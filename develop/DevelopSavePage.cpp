#include "develop/DevelopSavePage.h"

#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "develop/ProcessThread.h"
#include "platform/afx/CommDlg.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/RawParser.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

namespace develop {

std::string ProposedName(const std::string& rawPath, const char* ext)
{
    std::filesystem::path p(rawPath);
    p.replace_extension(ext);
    return p.string();
}

BOOL DevelopSavePage::Create(CWnd* parent)
{
    DevelopPage::Create(parent);
    const CUITextMap& t = Texts();
    const char* font = t.GetText("defaultfont");
    if (!m_about.Create(kAbout, CRect(0, 0, 1, 1), parent) ||
        !m_caption.Create(kCaption, CRect(10, 45, 300, 100), parent) ||
        !m_jpeg.Create(kJpegButton, CRect(30, 120, 130, 140), parent, t.GetText("jpg")) ||
        !m_jpegDescription.Create(kCaption, CRect(30, 160, 300, 220), parent) ||
        !m_tiff.Create(kTiffButton, CRect(30, 220, 130, 240), parent, t.GetText("tif")) ||
        !m_tiffDescription.Create(kTiffDescription, CRect(30, 260, 300, 300), parent))
        return FALSE;
    m_jpeg.SetIcon(140);
    m_tiff.SetIcon(140);
    m_caption.AddItem(t.GetText("savetittle"), font, 18, 0xFFFFFF, nullptr);
    m_caption.AddItem(t.GetText("saveline1"), font, 14, 0x808080, nullptr);
    m_caption.AddItem(" ", font, 14, 0x808080, nullptr);
    m_caption.SetItemStyle(2, 7, 0x808080, 0x404040, 0);
    m_jpegDescription.AddItem(t.GetText("jpgdesc1"), font, 14, 0x808080, nullptr);
    m_jpegDescription.AddItem(t.GetText("jpgdesc2"), font, 14, 0x808080, nullptr);
    m_jpegDescription.AddItem(" ", font, 14, 0x808080, nullptr);
    m_jpegDescription.SetItemStyle(2, 7, 0x808080, 0x404040, 0);
    m_tiffDescription.AddItem(t.GetText("tifdesc1"), font, 14, 0x808080, nullptr);

    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char rights[512];
    std::snprintf(rights, sizeof rights, t.GetText("about2"), local.tm_year + 1900);
    m_about.AddItem(t.GetText("about1"), font, 18, 0xFFFFFF, nullptr);
    m_about.AddItem(rights, font, 14, 0xC0C0C0, nullptr);
    m_about.AddItem(t.GetText("about3"), font, 14, 0xC0C0C0, nullptr);
    m_about.AddItem(t.GetText("about4"), font, 14, 0xC0A0A0, kContactLink);
    m_about.AddItem(t.GetText("about5"), font, 14, 0xC0A0A0, kHomePageLink);
    m_about.AddItem(" ", font, 14, 0xC0C0C0, nullptr);
    m_about.AddItem(" ", font, 14, 0x404040, nullptr);
    m_about.SetItemStyle(6, 7, 0x808080, 0x404040, 0);
    m_about.AddItem(" ", font, 14, 0xC0C0C0, nullptr);
    m_about.AddItem(t.GetText("recommend1"), font, 14, 0xC0C0C0, nullptr);
    m_about.AddItem(t.GetText("recommend2"), font, 14, 0xC0C0C0, nullptr);
    m_about.AddItem(t.GetText("recommend3"), "Impact", 24, 0xDCDCDC, kEditorPageLink);
    m_about.AddItem(t.GetText("recommend4"), font, 14, 0xC0A0A0, kEditorDownloadLink);
    m_controls = {&m_about, &m_caption, &m_jpeg, &m_jpegDescription, &m_tiff, &m_tiffDescription};
    Show(false);
    return TRUE;
}

void DevelopSavePage::Layout(int cx, int cy)
{
    m_about.MoveWindow((cx - 610) / 2 + 310, (cy - 430) / 2 + 100, 300, 300);
}

void DevelopSavePage::OnEnter()
{
    ConvertTo8Bit(&m_image, 0);
    const std::string& output = State().commandLine.output;
    if (!output.empty()) {
        m_outputTried = true;
        CQLImage image;
        const OutputResult result = WriteCommandLineOutput(State().developed, output.c_str(), image);
        m_outputWritten = result == OutputResult::kWritten;
        if (!m_outputWritten) {
            std::fprintf(stderr, "QuilloDevelop: %s was not written\n", output.c_str());
            ShowMessage(m_parent, "exception");
        }
        if (m_parent)
            m_parent->PostMessage(WM_DEVELOP_JOB, kCloseWizard, 0);
        return;
    }
    if (CWnd* next = m_parent ? m_parent->GetDlgItem(kNextButton) : nullptr)
        next->SetWindowText(Texts().GetText("nextphoto"));
    EnableNext(false);
    LayoutToParent();
}

void DevelopSavePage::OnNext()
{
    State().rawPath.clear();
    State().developed.Free();
    m_image.Free();
    if (CWnd* next = m_parent ? m_parent->GetDlgItem(kNextButton) : nullptr)
        next->SetWindowText(Texts().GetText("next"));
    DevelopPage::OnNext();
}

BOOL DevelopSavePage::SaveAs(const char* path, bool jpeg)
{
    WaitCursor wait;
    UINT w = 0, h = 0;
    m_image.GetSize(&w, &h);
    bool saved = false;
    if (w && h && path && *path) {
        CQLImageCodec codec;
        saved = jpeg ? codec.SaveJpegFile(path, &m_image, 195, 72) != 0 : codec.SaveFile(path, &m_image) != 0;
    }
    if (saved) {
        CRawParser parser;
        if (jpeg)
            parser.AddExifToJpeg(path);
        else
            parser.AddExifToTiff(path);
    } else {
        ShowMessage(m_parent, "exception");
    }
    EnableNext(true);
    return saved ? TRUE : FALSE;
}

void DevelopSavePage::Save(bool jpeg)
{
    const std::string proposed = ProposedName(State().rawPath, jpeg ? ".jpg" : ".tif");
    CFileDialog dialog(FALSE, jpeg ? ".jpg" : ".tif", proposed.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       jpeg ? "Jpeg File(*.jpg)|*.jpg||" : "Tiff File(*.tif)|*.tif||", m_parent);
    if (dialog.DoModal() != IDOK)
        return;
    SaveAs(dialog.GetPathName().GetString(), jpeg);
}

void DevelopSavePage::SaveJpeg() { Save(true); }
void DevelopSavePage::SaveTiff() { Save(false); }

} // namespace develop
