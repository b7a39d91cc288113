#include "album/shell/AlbumTextTable.h"

#include <cstddef>

namespace {

const char* const kTexts[CAlbumTextTable::kCount] = {
    "Delete the folder and the subfolder!\nAre you sure?", // 0
    "Error in delete the folder", // 1
    "Can not create project, Check Settings!", // 2
    "Move", // 3
    "Zoom In", // 4
    "Zoom Out", // 5
    "Best Fit", // 6
    "Original Size", // 7
    "Delete the whole project from list.\nContinue?", // 8
    "All the file will be lost!\nAre you sure?", // 9
    "Edit Photo or Batch Processing", // 10
    "Can not rename root directory", // 11
    "Can not rename the file", // 12
    "Delete the selected files?", // 13
    "File exist. Overwrite it?", // 14
    "Import file(s)", // 15
    "The operation will overwrite the original files.\nContinue?", // 16
    "Can not create the folder!", // 17
    "Can not open file %s", // 18
    "View photo", // 19
    "Print photo", // 20
    "Delete photo", // 21
    "Parent folder", // 22
    "Please enter the destination folder", // 23
    "Batch processing", // 24
    "Import photos", // 25
    "From Camera/Scanner", // 26
    "From Scanner", // 27
    "From Disk/File", // 28
    "Slideshow", // 29
    "Play", // 30
    "Pause", // 31
    "Random", // 32
    "Press key", // 33
    "Move file(s) to folder '%s'?", // 34
    "Can not write screen saver settings.", // 35
    "Photo", // 36
    "R Channel", // 37
    "G Channel", // 38
    "B Channel", // 39
    "Hue Channel", // 40
    "Saturation Channel", // 41
    "Brightness Channel", // 42
    "U Channel", // 43
    "V Channel", // 44
    "Edge", // 45
    "Over/Underexposure warning", // 46
    "Photo Information", // 47
    "You have not create a project yet!\nAfter close the wizard window, you can create your project by 'File - New Project'", // 48
    "Select Project Folder", // 49
    "Analyse photos ...", // 50
    "Print size", // 51
    "Copies", // 52
    "Select the photo and", // 53
    "the print size", // 54
    "Photo \"%s\" has not been set size and number of copies,\n Continue?", // 55
    "Error occurs when print file %s.", // 56
    "", // 57: unused
    "", // 58: unused
    "", // 59: unused
    "Analyse Photos", // 60
    "Import Photo from Camera/Scanner", // 61
    "QuilloShelf need restart. Delete and exit Programme now?", // 62
    "Print file %s out of paper size", // 63
    "Sort", // 64
    "View", // 65
    "You should select a folder when you want to search current album/folder", // 66
    "Error in file keywords setting", // 67
    "Bad time format in \"From\"", // 68
    "Bad time format in \"To\"", // 69
    "Can not open the reference photo", // 70
    "Error in camera model keywords setting", // 71
    "Copy to ...", // 72
    "Search photo", // 73
    "Bad time format", // 74
    "Can not Edit/Add EXIF", // 75
    "All files support EXIF|*.jpg;*.jpeg;*.tif;*.tiff;*.exif||", // 76
    "Fixed Drives", // 77
    "There can not be space in tag", // 78
    "Exceed the maximal number of tags", // 79
    "View photo with full screen", // 80
    "The version of this file is incorrect", // 81
    "The file contains no information about camera", // 82
    "Time Line", // 83
    "Unexpected Error", // 84
    "Import RAW Files", // 85
    "Album", // 86
    "Fixed Disk", // 87
    "Timeline", // 88
    "Properties", // 89
    "Preview", // 90
};

} // namespace

const CAlbumTextTable theAlbumTexts;

CAlbumTextTable::CAlbumTextTable()
{
    for (const char* text : kTexts)
        Add(text);
}

void CAlbumTextTable::Add(const char* text) { m_texts.push_back(text); }

const char* CAlbumTextTable::GetText(int id) const
{
    if (id < 0 || id >= static_cast<int>(m_texts.size()))
        return "";
    return m_texts[static_cast<std::size_t>(id)];
}
