#include "album/tools/TagEditing.h"

#include "editor/shell/ExifInfo.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstring>

namespace shelf {
namespace {

constexpr int kMaxTagText = 255;

bool IsJpeg(const std::string& path) { return CQLImageCodec::GetFileType(path.c_str()) == QL_FILE_JPEG; }

// The whole tag text as a set; false when a word is too long to be a tag.
bool ParseWhole(const char* text, CTagSet& set)
{
    if (!set.Parse(text))
        return false;
    return true;
}

} // namespace

void CommonTags(const std::vector<std::string>& paths, CTagSet& common)
{
    common.RemoveAll();
    bool first = true;
    for (const std::string& path : paths) {
        if (!IsJpeg(path))
            continue;
        ExifInfo exif;
        CTagSet tags;
        if (!exif.ReadFromFile(path.c_str()) || !exif.GetPrivateText()[0]) {
            common.RemoveAll();
            first = false;
            continue;
        }
        tags.Parse(exif.GetPrivateText());
        if (first) {
            for (int i = 0; i < tags.GetCount(); ++i)
                common.Add(tags.GetAt(i));
            first = false;
            continue;
        }
        for (int i = common.GetCount() - 1; i >= 0; --i)
            if (tags.Find(common.GetAt(i)) < 0)
                common.Remove(common.GetAt(i));
    }
}

int AddWorkingTag(CTagSet& working, const char* tag)
{
    // The blank before the new tag counts: the joined tags must fit the
    // photo's 255 characters.
    const int length = tag ? static_cast<int>(std::strlen(tag)) : 0;
    const int blank = working.GetCount() > 0 ? 1 : 0;
    if (working.Find(tag ? tag : "") < 0 && working.GetTextLength() + blank + length > kMaxTagText)
        return 79;
    if (!CTagSet::IsValidTag(tag))
        return 78;
    working.Add(tag);
    return 0;
}

TagWriteReport ApplyTags(const std::vector<std::string>& paths, const CTagSet& working, const CTagSet& opening,
                         const std::function<void(int)>& progress, const std::atomic<bool>* cancel)
{
    TagWriteReport report;
    const int n = static_cast<int>(paths.size());
    for (int i = 0; i < n; ++i) {
        if (cancel && cancel->load())
            break;
        const std::string& path = paths[static_cast<size_t>(i)];
        if (IsJpeg(path)) {
            ExifInfo exif;
            CTagSet tags;
            // A photo whose EXIF or tag text cannot be read whole keeps it.
            if (!exif.ReadFromFile(path.c_str()) || !ParseWhole(exif.GetPrivateText(), tags)) {
                report.skipped.push_back(path);
            } else {
                for (int k = 0; k < working.GetCount(); ++k)
                    tags.Add(working.GetAt(k));
                for (int k = 0; k < opening.GetCount(); ++k)
                    if (working.Find(opening.GetAt(k)) < 0)
                        tags.Remove(opening.GetAt(k));
                char text[kMaxTagText + 1];
                if (tags.GetTextLength() > kMaxTagText) {
                    report.skipped.push_back(path);
                } else {
                    tags.GetText(text, sizeof text);
                    std::snprintf(exif.GetPrivateText(), 256, "%s", text);
                    if (!exif.WriteToFile(TRUE, path.c_str(), TRUE))
                        report.failed.push_back(path);
                }
            }
        }
        if (progress)
            progress(i * 100 / n);
    }
    return report;
}

} // namespace shelf
