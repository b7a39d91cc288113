#include "album/tools/PrintPage3.h"

#include "album/shell/AlbumGlobals.h"
#include "editor/shell/FolderBrowser.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MessageBox.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <ctime>

namespace shelf {

namespace {

struct CellEvent {
    RECT cell;
    std::unique_ptr<CQLImage> image;
};

std::string CurrentAlbumFolder()
{
    const FolderNode* folder = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    return folder ? folder->GetPath() : std::string();
}

} // namespace

BEGIN_MESSAGE_MAP(CPrintPage3, CSkinPropertyPage)
    ON_BN_CLICKED(1051, OnModeChanged)
    ON_BN_CLICKED(1029, OnModeChanged)
    ON_BN_CLICKED(1030, OnModeChanged)
    ON_BN_CLICKED(1139, OnModeChanged)
    ON_BN_CLICKED(1138, OnBrowse)
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINT_RUN, OnRunEvent)
END_MESSAGE_MAP()

CPrintPage3::~CPrintPage3()
{
    if (m_worker.joinable())
        m_worker.join();
}

BOOL CPrintPage3::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    m_window = m_hWnd;
    SendDlgItemMessage(1086, PBM_SETRANGE32, 0, 100);
    // A missing sample leaves its picture empty; the page still works.
    for (int i = 0; i < 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "paper%d.bmp", i);
        CQLImageCodec codec;
        if (theAlbum)
            codec.LoadFile(theAlbum->GetSkinPath(name).c_str(), &m_samples[i]);
    }
    m_folder = CurrentAlbumFolder().c_str();
    m_printToFile = m_printer && !m_printer->GetPrinterDC();
    CheckRadioButton(1051, 1051, 1051);
    for (UINT id : {1004u, 1138u})
        GetDlgItem(id)->EnableWindow(m_printToFile);
    if (m_printToFile) {
        GetDlgItem(1139)->EnableWindow(TRUE);
        for (UINT id : {1004u, 1138u, 1137u})
            GetDlgItem(id)->ShowWindow(SW_SHOW);
    }
    UpdateData(FALSE);
    return TRUE;
}

void CPrintPage3::DoDataExchange(CDataExchange* pDX)
{
    CSkinPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, 1004, m_folder);
    DDX_Check(pDX, 1151, m_highQuality);
    DDX_Check(pDX, 1136, m_printToFile);
    DDX_Text(pDX, 1011, m_status);
}

BOOL CPrintPage3::OnSetActive()
{
    GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return CSkinPropertyPage::OnSetActive();
}

LRESULT CPrintPage3::OnWizardBack()
{
    if (IsRunning())
        return -1;
    return m_manual && *m_manual ? 178 : 185;
}

void CPrintPage3::OnModeChanged()
{
    const UINT ids[] = {1051, 1029, 1030, 1139};
    for (int i = 0; i < 4; ++i)
        if (IsDlgButtonChecked(ids[i]))
            m_mode = i;
    Invalidate();
}

void CPrintPage3::OnBrowse()
{
    UpdateData(TRUE);
    char folder[1024] = {};
    if (BrowseForFolder(folder, "Select Folder", this, nullptr, m_folder.GetString()) && folder[0]) {
        m_folder = folder;
        UpdateData(FALSE);
    }
}

void CPrintPage3::OnPaint()
{
    CPaintDC dc(this);
    CWnd* sample = GetDlgItem(1085);
    if (!sample || m_mode > 2)
        return;
    const CQLImage& picture = m_samples[m_mode];
    UINT w = 0, h = 0;
    picture.GetSize(&w, &h);
    if (!w || !h)
        return;
    CRect area;
    sample->GetWindowRect(&area);
    ScreenToClient(&area);
    const BITMAPINFO info = DibHeaderOf(picture, static_cast<int>(h));
    dc.SetStretchBltMode(HALFTONE);
    ::StretchDIBits(dc.GetSafeHdc(), area.left, area.top, area.Width(), area.Height(), 0, 0, static_cast<int>(w),
                    static_cast<int>(h), picture.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
}

BOOL CPrintPage3::OnQueryCancel() { return !IsRunning(); }

BOOL CPrintPage3::OnWizardFinish()
{
    if (IsRunning() || !m_printer || !UpdateData(TRUE))
        return FALSE;
    // Page files need a folder to go to.
    if (m_printToFile && m_folder.IsEmpty()) {
        GotoDlgCtrl(GetDlgItem(1004));
        return FALSE;
    }
    OnModeChanged();
    GetSheet()->SetWizardButtons(0);
    if (CWnd* cancel = GetSheet()->GetDlgItem(IDCANCEL))
        cancel->EnableWindow(FALSE);
    m_run = std::make_unique<PrintArrangement>(m_printer);
    m_run->m_mode = m_mode;
    m_run->m_printToFile = m_printToFile;
    m_run->m_folder = m_folder.GetString();
    if (m_printToFile && m_mode != PrintArrangement::SeparateFiles && !m_run->PreparePageImage()) {
        GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
        if (CWnd* cancel = GetSheet()->GetDlgItem(IDCANCEL))
            cancel->EnableWindow(TRUE);
        return FALSE;
    }
    StartRun();
    // The sheet closes when the worker is done.
    return FALSE;
}

void CPrintPage3::Post(RunEvent kind, LPARAM data) { ::PostMessage(m_window, WM_PRINT_RUN, kind, data); }

void CPrintPage3::StartRun()
{
    const std::time_t clock = std::time(nullptr);
    std::tm local{};
    localtime_r(&clock, &local);
    SYSTEMTIME now{};
    now.wYear = static_cast<WORD>(local.tm_year + 1900);
    now.wMonth = static_cast<WORD>(local.tm_mon + 1);
    now.wDay = static_cast<WORD>(local.tm_mday);
    now.wHour = static_cast<WORD>(local.tm_hour);
    now.wMinute = static_cast<WORD>(local.tm_min);
    m_run->m_stamp = PrintArrangement::MakeStamp(now);
    m_printer->m_highQuality = m_highQuality;
    PrintArrangement& run = *m_run;
    run.onOutOfPaper = [](const std::string& text) { AfxMessageBox(text.c_str(), MB_OK); };
    if (m_printToFile || run.m_mode == PrintArrangement::SeparateFiles)
        run.ChooseFreeStamp();
    m_docStarted = 0;
    if (run.m_mode != PrintArrangement::SeparateFiles) {
        // The arrangement and its messages stay on the window thread.
        run.Arrange();
        m_docStarted = m_printer->StartDoc();
    }
    // From here on everything the run tells goes through the page's queue.
    run.onOutOfPaper = [this](const std::string& text) { Post(kError, reinterpret_cast<LPARAM>(new std::string(text))); };
    run.onError = run.onOutOfPaper;
    run.onStatus = [this](const std::string& text) { Post(kStatus, reinterpret_cast<LPARAM>(new std::string(text))); };
    run.onProgress = [this](int percent) { Post(kProgress, percent); };
    if (!m_printToFile) {
        run.onPageStart = [this](int page) { Post(kPageStart, page); };
        run.onPageEnd = [this](int page) { Post(kPageEnd, page); };
        run.onCell = [this](const RECT& cell, std::unique_ptr<CQLImage> image) {
            Post(kCell, reinterpret_cast<LPARAM>(new CellEvent{cell, std::move(image)}));
        };
    }
    const bool started = m_docStarted != 0;
    m_worker = std::thread([this, started] {
        if (m_run->m_mode == PrintArrangement::SeparateFiles)
            m_run->SaveSeparateFiles();
        else if (started)
            m_run->RenderPages();
        Post(kDone);
    });
}

LRESULT CPrintPage3::OnRunEvent(WPARAM kind, LPARAM data)
{
    switch (static_cast<RunEvent>(kind)) {
    case kProgress:
        SendDlgItemMessage(1086, PBM_SETPOS, static_cast<WPARAM>(data), 0);
        break;
    case kStatus: {
        std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(data));
        m_status = text->c_str();
        SetDlgItemText(1011, text->c_str());
        break;
    }
    case kError: {
        std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(data));
        if (text->compare(0, 11, "Print file ") == 0)
            AfxMessageBox(text->c_str(), MB_OK);
        else
            MessageBox(text->c_str(), "Print", MB_OK | MB_ICONSTOP);
        break;
    }
    case kPageStart:
        m_printer->StartPage();
        break;
    case kCell: {
        std::unique_ptr<CellEvent> cell(reinterpret_cast<CellEvent*>(data));
        m_printer->PutCell(cell->image.get(), cell->cell.left, cell->cell.top, cell->cell.right, cell->cell.bottom,
                           nullptr);
        break;
    }
    case kPageEnd:
        if (m_pageDone)
            m_pageDone(static_cast<int>(data));
        m_printer->EndPage();
        break;
    case kDone:
        Finished();
        break;
    }
    return 0;
}

void CPrintPage3::Finished()
{
    if (m_worker.joinable())
        m_worker.join();
    if (m_mode != PrintArrangement::SeparateFiles)
        m_printer->EndDoc();
    SendDlgItemMessage(1086, PBM_SETPOS, 100, 0);
    m_done = 1;
    GetSheet()->EndDialog(ID_WIZFINISH);
}

} // namespace shelf
