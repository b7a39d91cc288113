// The benchmark photo widened to 16 bits, and the same as an RGB TIFF for
// the peers; each made once.
#pragma once

#include <string>

class C16BitBitmap;

const C16BitBitmap& Photo16();
const std::string& PeerInputTiff16();
