// The paint window's pictures, drawn by the asset generator.
#pragma once

inline constexpr int kPaintZoomIcon = 3430;
inline constexpr int kPaintZoomActiveIcon = 3431;
inline constexpr int kPaintMoveIcon = 3432;
inline constexpr int kPaintMoveActiveIcon = 3433;
inline constexpr int kPaintPickIcon = 3434;
inline constexpr int kPaintSwapIcon = 3435;
inline constexpr int kPaintResetIcon = 3436;
inline constexpr int kPaintMarkerIcon = 3437;
inline constexpr int kPaintPickerCursor = 3440;
// Shared with the zoom view and the skinned buttons.
inline constexpr int kPaintZoomInCursor = 137;
inline constexpr int kPaintZoomOutCursor = 138;
inline constexpr int kPaintHandCursor = 131;
