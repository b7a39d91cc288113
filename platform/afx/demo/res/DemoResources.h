// Resource ids of the window layer's demo.
#pragma once

inline constexpr unsigned IDD_DEMO = 100;
inline constexpr unsigned IDS_TICKS = 200;
inline constexpr unsigned IDS_CAPTION = 201;
inline constexpr unsigned IDC_CLOCK = 1000;
inline constexpr unsigned IDC_GRID = 1001;
inline constexpr unsigned IDC_SMALL = 1002;
inline constexpr unsigned IDC_LARGE = 1003;
inline constexpr unsigned IDC_NAME = 1004;
inline constexpr unsigned IDC_COLOR = 1005;
