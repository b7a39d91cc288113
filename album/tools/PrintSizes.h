// The print sizes the wizard offers, in hundredths of an inch; row 0 is the
// custom size typed by the user.
#pragma once

namespace shelf {

struct PrintSizeRow {
    int width; // hundredths of an inch; 0 for the custom row
    int height;
    const char* settingsName; // the settings page's size list
    const char* pageName;     // the size combo of the one-size page
};

inline constexpr int kPrintSizeRows = 13;

// Row 4's combo text names the size it prints.
inline constexpr PrintSizeRow kPrintSizes[kPrintSizeRows] = {
    {0, 0, "Custom", "Custom"},
    {1000, 750, "A4- (10x7.5)", "A4- (10x7.5)"},
    {700, 530, "A5- (7.0x5.3)", "A5- (7.0x5.3)"},
    {500, 370, "1/4 A4- (5.0x3.7)", "1/4 A4- (5.0x3.7)"},
    {350, 260, "1/8 A4- (3.5x2.6)", "1/8 A4- (3.5x2.6)"},
    {138, 98, "1'/1R  (3.5cm x 2.5cm)", "1'  (1.5 x 1.1)"},
    {210, 138, "2'/2R  (5.3cm x 3.5cm)", "2'  (2 x 1.5)"},
    {500, 350, "5'/3R (5x3.5)", "5' (5x3.5)"},
    {600, 400, "6'/4R (6x4)", "6' (6x4)"},
    {700, 500, "7'/5R (7x5)", "7' (7x5)"},
    {800, 600, "8'/6R (8x6)", "8' (8x6)"},
    {1000, 800, "10' (10x8)", "10' (10x8)"},
    {1200, 1000, "12' (12x10)", "12' (12x10)"},
};

} // namespace shelf
