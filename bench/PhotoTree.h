// A folder tree of many small camera JPEGs for the album's folder-walking
// benchmarks (search, EXIF statistics): hard links to a few distinct photos,
// each with EXIF (model, F-number, exposure time, ISO, date).
#pragma once

#include <string>

struct PhotoTreeShape {
    int files = 5000;
    int distinct = 50;      // distinct photos; the rest are hard links to them
    int folders = 10;       // the files are spread over this many subfolders
    int side = 320;         // the photos' longer side
    bool propertyFiles = false; // each folder gets the album's property file
};

// Made once per shape under BenchFolder(); returns the tree's root with a
// trailing '/'. Photo i is "<root>dNN/pNNNNN.jpg"; distinct photo k has model
// "Camera k" (k < distinct / 2 are "Canon ..." models), F-number 2.8 for
// even k and 5.6 for odd k.
const std::string& PhotoTree(const PhotoTreeShape& shape);
