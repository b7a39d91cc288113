// Ids of the skin demo's dialog.
#pragma once

#include "platform/win/WinTypes.h"

inline constexpr UINT IDD_SKIN_DEMO = 9300;
inline constexpr UINT IDC_DEMO_GRID = 9301;
inline constexpr UINT IDC_DEMO_SNAP = 9302;
inline constexpr UINT IDC_DEMO_LOCKED = 9303;
inline constexpr UINT IDC_DEMO_SMALL = 9304;
inline constexpr UINT IDC_DEMO_MEDIUM = 9305;
inline constexpr UINT IDC_DEMO_LARGE = 9306;
inline constexpr UINT IDC_DEMO_STRENGTH = 9307;
inline constexpr UINT IDC_DEMO_SOFTNESS = 9308;
inline constexpr UINT IDC_DEMO_APPLY = 9309;
inline constexpr UINT IDC_DEMO_ZOOM_IN = 9310;
inline constexpr UINT IDC_DEMO_BEST_FIT = 9311;
