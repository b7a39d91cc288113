#include "editor/shell/UITextTable.h"

#include <iterator>

CUITextTable theUITextTable;

namespace {

// In order of position; "" keeps the place of a position that holds no text.
const char* const kTexts[] = {
        "Move photo", // 0
        "Zoom In", // 1
        "Zoom Out", // 2
        "Actual Size", // 3
        "Best Fit", // 4
        "Can not open file", // 5
        "Save", // 6
        "Save back to original file", // 7
        "Save for print", // 8
        "Save for web or email", // 9
        "Save for next editing", // 10
        "Custom saving", // 11
        "Save back may lose some infomations\nPlease save to other file", // 12
        "Jpeg Quality %d%%", // 13
        "Keep size unchanged", // 14
        "Trumbnail size : 7.5K pixels.\r\nTipical : 100x75", // 15
        "Small size : 77K pixels.\r\nTipical : 320x240", // 16
        "Normal size : 300K pixels\r\nTipical : 640x480", // 17
        "Can not save file!", // 18
        "This file format is not supported", // 19
        "Crop the image?", // 20
        "Open File", // 21
        "Transform", // 22
        "Adjust Exposure", // 23
        "Click the position where should be white or gray", // 24
        "White Balance", // 25
        "Please select the best one", // 26
        "Adjust Color", // 27
        "Before", // 28
        "Template Name", // 29
        "Author", // 30
        "Description", // 31
        "Add Frame", // 32
        "Welcome to Quillo!\r\nPlease input a name for future procession, for example, the signature in frame.", // 33
        "Sorry, you have not input anything.", // 34
        "Histograms", // 35
        "Noise Reduction", // 36
        "Digital Beauty", // 37
        "Step 1 : Click the spots(blemishes) on skin to erase it", // 38
        "Step 2 : Change the brightness and tone of skin. Select the best one please", // 39
        "Step 3 : Special effects of skin. Select the best one please", // 40
        "Erase Spot", // 41
        "Quillo Sharpen", // 42
        "Rotate Left", // 43
        "Rotate Right", // 44
        "Flip Horizontally", // 45
        "Flip Vertically", // 46
        "Image Size", // 47
        "WARNING: Large image size will low down the running speed.\nContinue?", // 48
        "Brightness/Contrast", // 49
        "Gauss Blur", // 50
        "Paste", // 51
        "Underexposure", // 52
        "Inaccurate Color", // 53
        "Dull Color", // 54
        "Noise,hot pixels", // 55
        "Dissatisfied portrait/skin", // 56
        "Exposure Correction", // 57
        "Click the region to make spot metering", // 58
        "Foggy", // 59
        "Photo has been modified, save it before close?", // 60
        "Vivid color", // 61
        "Click the spots or blemishes to erase it", // 62
        "Insert Image", // 63
        "Paste Image", // 64
        "Insert Text", // 65
        "Select one", // 66
        "Correct it by click", // 67
        "Manually adjust", // 68
        "Select the best one from a list of images", // 69
        "Spot metering by click the region", // 70
        "", // 71 (unused)
        "", // 72 (unused)
        "", // 73 (unused)
        "Tip:\nWe will give you two ways to solve this problem, if you are not satisfied with the result of \nthe first one, simply click 'Cancel' to skip it and try the second way.", // 74
        "Color has been enhanced!", // 75
        "Inclined Horizon", // 76
        "Free Rotate", // 77
        "Red Eyes", // 78
        "Low Resolution", // 79
        "Erase Redeye", // 80
        "Set the brush size to fit the red eye part then click.", // 81
        "Print now ...", // 82
        "No theme file found.\nYou can create your color themes by 'Professinal Histograms' function.", // 83
        "Color Theme", // 84
        "HSB Curve", // 85
        "Purple Fringing", // 86
        "Anti Purple", // 87
        "Lose Focus Blur", // 88
        "Blur", // 89
        "Highlight Diffuse", // 90
        "Simple Sharpen", // 91
        "Edge Shrink", // 92
        "Dynamic Range", // 93
        "Painting", // 94
        "Bad time format", // 95
        "Tone Maker", // 96
        "The name of template can not be null, and the reference picture must be valid", // 97
        "Template exist, overwrite it?", // 98
        "The width of horizontal picture must larger than height of it.\nContinue?", // 99
        "The height of vertical picture must larger than width of it.\nContinue?", // 100
        "Can not find transparent color in the reference picture.", // 101
        "Can not edit a free-shape frame template", // 102
        "Tip:\nWe will give you three ways to solve this problem, if you are not satisfied with the result, \nsimply click 'Cancel' to skip it and try next one.", // 103
        "Save as Color Theme", // 104
        "This effect is better for nightshot photo!", // 105
        "Starlight Filter", // 106
        "Use traditional file-open dialog forever?\nYou can set the way of file-open in 'View-Settings' menu item", // 107
        "Gradient Filter", // 108
        "Correct Lens Blur", // 109
        "Correct Barrel Distort", // 110
        "Distortion and Inclined", // 111
        "Correct Shake-Blur", // 112
        "Select again", // 113
        "Coarse select", // 114
        "not supportted", // 115
        "Perspective Crop", // 116
        "Effects Plugins", // 117
        "The size of photo must not be changed to use this function. This photo seems to be croped or resized. Continue?", // 118
        "Dark Corners", // 119
        "Four Dark Corners", // 120
        "Get rid of Fog", // 121
        "Sharpen Texture", // 122
        "Manage Plugins", // 123
        "You should restart Quillo to make changes effect", // 124
        "Save and Exit\tCtrl_W", // 125
        "Cancel\tAlt_F4", // 126
        "This operation will overwrite the original file, Continue?", // 127
        "Noise Reduction(AS)", // 128
        "Anti Shake", // 129
        "HDR merge(AS)", // 130
        "Unexpected error when add file", // 131
        "For same scene, the image size must be same with main image", // 132
        "This image is in list already", // 133
        "Analyse shake for photo %d", // 134
        "This function need big images at least 600x600", // 135
        "Processing photo %d", // 136
        "Unexpected error", // 137
        "Can not find enough qualified photos to do the process. Possible reason 1: shake to much. 2, the object lack features. \r\nYou can try to use large serach scope and more accurate setting.", // 138
        "Can not find shake mode for some photos. This may affect the final quality, Continue?", // 139
        "After", // 140
        "Modify Shape", // 141
        "Dissatisfied Shape", // 142
        "Extend Cavas", // 143
        "Auto White Balance", // 144
        "Smart Exposure", // 145
        "Is this a portrait photo? A portrait photo means the face is tha main object of photo.", // 146
        "Automatic Processing", // 147
        "Suggestion: Put 'Image size' to last step of all to get better image quality.", // 148
        "The automatical processing may not achieve the best result. It can not process the photos without any problem. If not satisfied, please use problem oriented wizard or  more advanced functions instead.", // 149
        "Smart Erase", // 150
        "Select the area or the object you want to erase/inpaint.", // 151
        "Apply to Selection", // 152
        "Modify/Remove Selection", // 153
        "Error occurs, insufficient sample", // 154
        "Compare horizontally", // 155
        "Compare vertically", // 156
        "Unwanted object", // 157
        "", // 158 (unused)
        "Photography Adjust", // 159
        "Feather by current settings？", // 160
        "Compare with histograms", // 161
        "Navigation", // 162
        "Histograms", // 163
        "History", // 164
        "Infomation", // 165
        "All supported RAW|*.raw;*.nef;*.cr2;*.crw;*.orf;*.mrw;*.raf;*.pef;*.dcr;*.srf;*.erf;*.dng;*.arw;*.rw2|Nikon(*.nef)|*.nef|Canon(*.cr2;*.crw)|*.cr2;*.crw|Olympus(*.orf)|*.orf|Konica Minolta(*.mrw)|*.mrw|Fujifilm(*.raf)|*.raf|Pentax(*.pef)|*.pef|Kodark(*.dcr)|*.dcr|Sony(*.srf;*.arw)|*.srf;*.arw|Epson(*.erf)|*.erf|Adobe(*.dng)|*.dng|Panasonic(*.raw;*.rw2)|*.raw;*.rw2||", // 166
        "Channel Mixer", // 167
        "Read CCD data     ", // 168
        "Generate image    ", // 169
        "Default adjustment", // 170
        "Convert colorspace", // 171
        "Tahoma", // 172
        "Overwrite the original file. ", // 173
        "Can not apply on photo from RAW or clipboard.", // 174
        "Prepare and save photo by specified print size.", // 175
        "Image resize + JPG optimize + size-quality control.", // 176
        "Designed for web photo sharing, e.g.forum and blog.", // 177
        "Using lossless TIFF format for next editing.", // 178
        "You can choose file format and path.", // 179
        "Prepareing ...", // 180
        "Original photo:%dx%d，%.1fKB", // 181
        "Original file size:%.1fKB", // 182
        "Output file size:%.1fKB，Ratio%.1f:1", // 183
        "Output quality(for reference):%d/10", // 184
        "Limited by file size, the JPG quality can only reach:%d", // 185
        "Customize ...", // 186
        "Input a number from %d to %d", // 187
        "Input a file name for saving scheme", // 188
        "Save failed. Check the filename for illegal characters and make sure you have right to access the disk.", // 189
        "The default JPG algorithm try to use subsampleing for chroma channel to get higher compression ratio. In most case, it works well, but sometime when the photo contains red or blue graphic objects like text and logo,there will be bluring in the edge. To avoid this artifacts, you need high quality color checked.", // 190
        "Try to use adaptive JPG quant-table to replace fixed.", // 191
        "Try to give higher compression to area where hard to be noticed.", // 192
        "Input a name", // 193
        "The effect theme can be used in 'Enhancement - Effect Theme' command", // 194
        "Original", // 195
        "Soft light", // 196
        "Cleaned skin", // 197
        "Cleaned more", // 198
        "Auto Level", // 199
        "Auto Contrast", // 200
        "Adaptive Level", // 201
        "Transform", // 202
        "Rotate,Flip and Crop", // 203
        "Exposure", // 204
        "Brightness, Contrasts and Histogram levels", // 205
        "Color", // 206
        "White balance, Color Adjustment", // 207
        "Frame", // 208
        "Frame and signature", // 209
        "Enhancement", // 210
        "Noise reduction,Digital Beatuty and Quillo Sharpen", // 211
        "QL Community", // 212
        "User forums and downloads, Free sign up!", // 213
        "Repair or Inpaint Selection", // 214
        "Repair", // 215
        "End", // 216
        "Select the object unwanted and click 'Repair'.You can repeat this step on unsatisfied part after repair.", // 217
        "Undo All", // 218
        "Original file size : %.2fK\r\nCompressed to : %.2fK", // 219
        "Quillo Editor %s - %s%s", // 220
        "Quillo Editor %s", // 221
        "When using high ISO to shoot a static object, you can take several samples with same exposure settings and same view. The software will reduce the high ISO noise by calculate the average value for each pixel. \r\n\r\nThe tripod is not need because the anti-shake technology inside Quillo will fix the difference caused by shake of hand.\r\n\r\nPlease add the photos of the same scene in the listbox below:", // 222
        "When the dynamic range of light exceed the camera's capability, you can use bracket exposure mode to shoot 3 times for details in highlight, midelight and shadow. And by this function to merge them as high dynamic range result. The Anti-Shake tech of Quillo let you shoot them by hand, no tripod need.\r\n\r\nPlease add the photos of the same scene in the listbox below:", // 223
        "The slow shutter speed will cause shake blur of photo.Sometime you can not obtain a safe shutter speed with right exposure. Then you can use 'shutter priority mode' or 'manual mode' to set a fast speed (2-3 times than normal), ignore the underexposure to shoot several times. The Quillo can merge them to a well exposured result without shake.\r\n\r\nThe tripod is not need because the anti-shake technology inside Quillo will fix the difference caused by shake of hand.\r\n\r\nPlease add the photos of the same scene in the listbox below:", // 224
        "Multi-NR", // 225
        "Multi-AS", // 226
        "Multi-HDR", // 227
        "Color Sharpen", // 228
        "Saturation Improve", // 229
        "Color Contrasty", // 230
        "Save done.You can see it from list when next entering this function.", // 231
        "Descreening", // 232
        "Threshold/BW", // 233
        "Please locate the plugin folder path of Photoshop. The program will copy Quillo.8bf into  the folder. Delete the 8bf to uninstall from Photoshop.", // 234
        "Copy successfully.Run photoshop again, you will find Quillo under its plugin menu, if the path is right.", // 235
        "Capture", // 236
        "QuilloCollage", // 237
        "Layer", // 238
        "Compact mode", // 239
        "Normal mode", // 240
        "&Lock Ratio", // 241
        "Un&lock Ratio", // 242
        "Drag a box for croping", // 243
        "Adjust croping box, you can zoom in for precision. Press ESC for a new box.", // 244
        "Can not open file, too big image size", // 245
        "ContentAware Rsz.", // 246
        "Click \"menu-view-paint mode\" to return previous status", // 247
        "Open", // 248
        "Save", // 249
        "Exif", // 250
        "Wizard", // 251
        "Text", // 252
        "Image", // 253
        "Paint", // 254
        "Multi", // 255
        "Gallery", // 256
        "Correct exposure problem and enhance dynamic", // 257
        "Fix wrong white balance setting", // 258
        "Rotate, fix barrel distortion and perspective cropping", // 259
        "Remove/reduce high ISO noise in photo", // 260
        "Adaptively enhance contrast, make photo more clear", // 261
        "Enhance saturation by 3 ways", // 262
        "Clean skin, make perfect portrait", // 263
        "Remove red-eye by clicking on it", // 264
        "Fix purple fringing on contrast edge of photo", // 265
        "Select and erase un-wantted object from photo", // 266
        "Use this tool to change shape of face or body", // 267
        "Enlarge photo by a advanced resample algorithm", // 268
};

static_assert(std::size(kTexts) == 269);

} // namespace

CUITextTable::CUITextTable()
{
    m_texts.reserve(std::size(kTexts));
    for (const char* text : kTexts)
        m_texts.push_back(text);
}

CUITextTable::~CUITextTable() = default;

const char* CUITextTable::GetText(int index) const
{
    if (index < 0 || index >= GetCount())
        return "";
    return m_texts[static_cast<size_t>(index)];
}
