#include "CameraJpegs.h"

#include "BenchSupport.h"
#include "editor/shell/ExifInfo.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <cstring>
#include <filesystem>
#include <map>

const std::vector<std::string>& CameraJpegs(const std::string& folder)
{
    static std::map<std::string, std::vector<std::string>> made;
    std::vector<std::string>& out = made[folder];
    if (!out.empty())
        return out;
    const std::string path = BenchFolder() + "/" + folder + "/";
    std::filesystem::create_directories(path);
    CQLImage base, photo;
    MakeSyntheticPhoto(base, kCameraJpegWidth + kCameraJpegCount, kCameraJpegHeight);
    ExifInfo exif;
    const bool haveExif = exif.ReadFromFile(QUILLO_CORPUS_DIR "/exif-samples/jpg/Canon_40D.jpg") != 0;
    CQLImageCodec codec;
    for (int i = 0; i < kCameraJpegCount; ++i) {
        photo.Create(kCameraJpegWidth, kCameraJpegHeight);
        for (unsigned y = 0; y < kCameraJpegHeight; ++y)
            std::memcpy(photo.GetBuffer(0, static_cast<int>(y)), base.GetBuffer(i, static_cast<int>(y)),
                        kCameraJpegWidth * 4);
        const std::string file = path + "photo" + std::to_string(i) + ".jpg";
        codec.SaveJpegFile(file.c_str(), &photo, 92, 72);
        if (haveExif)
            exif.WriteToFile(TRUE, file.c_str(), FALSE);
        out.push_back(file);
    }
    return out;
}
