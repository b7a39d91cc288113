#include "algorithms/HsbTables.h"

const HsbTables& HsbTables::Get()
{
    static const HsbTables tables;
    return tables;
}

HsbTables::HsbTables()
{
    for (int mx = 0; mx < 256; ++mx)
        for (int d = 0; d < 256; ++d)
            saturation[mx * 256 + d] = static_cast<BYTE>(d <= mx && mx > 0 ? (d * 255 + mx / 2) / mx : 0);
    // floor(num 255 / (6 d) + 1/2), as the codec rounds hues.
    int at = 0;
    rowStart[0] = 0;
    for (int d = 1; d < 256; ++d) {
        rowStart[d] = at;
        const int den = 2 * 6 * d;
        for (int num = -d; num <= d; ++num) {
            const int n = 2 * num * 255 + 6 * d;
            hueStep[at++] = static_cast<signed char>(n >= 0 ? n / den : -((-n + den - 1) / den));
        }
    }
}
