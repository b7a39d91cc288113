// The tab control type the effect sheets and the photo-problem wizard hold.
#pragma once

#include "platform/afx/CommCtrl.h"

class CSkinTabCtrl : public CTabCtrl {
    DECLARE_DYNAMIC(CSkinTabCtrl)
public:
    CSkinTabCtrl() = default;
};
