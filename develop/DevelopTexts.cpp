#include "develop/DevelopTexts.h"

namespace develop {

void DevelopDefaultTexts(CUITextMap& table)
{
    static const char* const kPairs[][2] = {
        {"tittle", "ORVANTA QuilloDevelop"},
        {"sub-tittle", "Parsing, Pre-Adjustment and Converting ... "},
        {"next", "Next >"},
        {"cancel", "Cancel"},
        {"defaultfont", "Tahoma"},
        {"openline1", "Choose a RAW file:"},
        {"step1", "Step 1: Import Basic CCD data"},
        {"open", "Open"},
        {"wb", "Select white balance:"},
        {"autowb", "Auto white balance"},
        {"orgwb", "Use original camera white balance setting"},
        {"fileformat",
         "All Supported Files|*.raw;*.nef;*.cr2;*.crw;*.orf;*.mrw;*.raf;*.pef;*.dcr;*.srf;*.erf;*.dng;*.arw;*.rw2|"
         "Nikon(*.nef)|*.nef|Canon(*.cr2;*.crw)|*.cr2;*.crw|Olympus(*.orf)|*.orf|Konica Minolta(*.mrw)|*.mrw|"
         "Fujifilm(*.raf)|*.raf|Pentax(*.pef)|*.pef|Kodark(*.dcr)|*.dcr|Sony(*.srf;*.arw)|*.srf;*.arw|"
         "Epson(*.erf)|*.erf|Adobe(*.dng)|*.dng|Panasonic(*.raw;*.rw2)|*.raw;*.rw2||"},
        {"notsupport", "Not a supported RAW format"},
        {"exception", "Unexpected Error"},
        {"nothumbnail", "This file have no thumbnail/preview"},
        {"nosupportthumbnail", "Sorry, This file's thumbnail/preview is not supported."},
        {"preview", "Preview:"},
        {"adjtittle", "Step 3: Basic Adjustment"},
        {"exposure", "Exposure, -1Ev to +2Ev"},
        {"dynamic", "Dynamic Range"},
        {"temperature", "Color Temperature, +/-2000K"},
        {"saturate", "Saturate"},
        {"sharpen", "Focus and Sharpen"},
        {"grain", "Add Grain"},
        {"inprog", "Generating preview... "},
        {"savetittle", "Step 4: Save As"},
        {"saveline1", "Save result to a general file format."},
        {"jpg", "JPEG file"},
        {"tif", "TIFF file"},
        {"jpgdesc1", "Lossy compression, smaller file size(about 5:1), "},
        {"jpgdesc2", "The highest quality will be used to save."},
        {"tifdesc1", "Lossless save, large file size."},
        {"nextphoto", "Next Photo"},
        {"interpolatetittle", "Step 2: Choose Interpolate Method"},
        {"interline1", "A better interpolate method can bring better photo quality."},
        {"basicinter", "Basic. Fast linear interpolate, poor quality."},
        {"goodinter", "Normal. Normal algorithm, average speed and quality."},
        {"bestinter", "Best. Best quality but slowly, for 3 color RGB CCD only."},
        {"loadccd", "Please wait, Loading CCD Data ... "},
        {"interpolate", "Please wait, Interpolating ..."},
        {"convertrgb", "Convert to RGB space ..."},
        {"saving", "Saving..."},
        {"batch", "Batch Import ..."},
        {"go", "Go!"},
        {"batchtittle", "Batch Import RAW Files"},
        {"batchfile", "Click buttons to add/remove file to/from list"},
        {"othertip", "Notice: The other adjustments parameters, "},
        {"othertip2", "which are photo depended, can only be set"},
        {"othertip3", " in adjustment page of step-by-step mode."},
        {"outfolder", "Output Folder:"},
        {"nofolder", "Please click browse button ..."},
        {"noitem", "No Item"},
        {"browse", "Browse ..."},
        {"sharpenonly", "Sharpen"},
        {"selectfolder", "Select the Output Folder"},
        {"ok", "OK"},
        {"errsave", "Can not Save"},
        {"recommend1", "For further editing, recommend our darkroom"},
        {"recommend2", "software for photography enthusiast:"},
        {"recommend3", "Quillo"},
        {"recommend4", "Download Quillo now"},
        {"about1", "About \"Orvanta's QuilloDevelop\""},
        {"about2", "Copyright (C) %d the Quillo developers."},
        {"about3", "All rights reserved."},
        {"about4", "Contact us"},
        {"about5", "Home page: quillo.example.org"},
        {"dropinfirstpage", "The droped files can only be handled in first step"},
    };
    for (const auto& pair : kPairs)
        table.Add(pair[0], pair[1]);
    table.Sort();
}

const CUITextMap& Texts()
{
    static CUITextMap table;
    static const bool filled = (DevelopDefaultTexts(table), true);
    (void)filled;
    return table;
}

} // namespace develop
