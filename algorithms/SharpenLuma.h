// Luma sharpening against the mean of the four neighbours: after strong
// reductions and the editor's quick sharpen.
#pragma once

class CQLImage;

// In place; the outer frame keeps its luma (only the YUV round trip acts).
// amount scales the luma difference in 1/256. 1, or 0 (image unchanged) for
// an image without pixels or when the luma plane cannot be had.
int SharpenLuma(CQLImage* image, int amount);
int QuickSharpen(CQLImage* image);
