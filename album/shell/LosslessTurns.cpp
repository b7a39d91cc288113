#include "album/shell/LosslessTurns.h"

#include "editor/shell/ExifInfo.h"
#include "platform/codec/QLImageCodec.h"

namespace shelf {

bool TurnJpeg(const std::string& path, int transform)
{
    return CQLImageCodec::GetFileType(path.c_str()) == QL_FILE_JPEG &&
           CQLImageCodec::LosslessJPGTransform(path.c_str(), transform) != 0;
}

int AutoTurnJpeg(const std::string& path, int width, int height)
{
    if (height >= width || CQLImageCodec::GetFileType(path.c_str()) != QL_FILE_JPEG)
        return 0;
    ExifInfo exif;
    if (!exif.ReadFromFile(path.c_str()))
        return 0;
    const WORD orientation = exif.GetOrientation();
    const int transform = orientation == 6 ? kTurnRight : orientation == 8 ? kTurnLeft : 0;
    if (transform == 0 || !TurnJpeg(path, transform))
        return 0;
    // The pixels stand upright now: the tag must say so, or the next run
    // (and every viewer) turns them again.
    exif.SetOrientation(1);
    exif.WriteToFile(TRUE, path.c_str(), TRUE);
    return transform;
}

} // namespace shelf
