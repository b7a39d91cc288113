#include "album/tools/SearchCriteriaRows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace shelf {
namespace {

template <class T, class... A>
EffectParam* add(std::vector<std::unique_ptr<EffectParam>>& list, A&&... args)
{
    list.push_back(std::make_unique<T>(std::forward<A>(args)...));
    return list.back().get();
}

struct Range {
    float from, to;
};

// "ISO number" and "Focus distance (m)" rows; "Any" and the open-ended rows
// have no upper bound.
constexpr Range kIsoRanges[] = {{0, SearchCriteria::kNoIsoLimit}, {0, 50}, {50, 100}, {100, 200}, {200, 400},
                                {400, 800}, {800, SearchCriteria::kNoIsoLimit}, {0, 100}, {0, 200}, {0, 400}};
constexpr Range kFocusRanges[] = {{0, SearchCriteria::kNoFocusLimit}, {0, 5}, {5, 20}, {20, 100},
                                  {100, SearchCriteria::kNoFocusLimit}, {0, 20}, {0, 100}};
constexpr float kAspects[] = {0, -1.0f, -2.0f, 4.0f / 3, 0.75f, 2.0f / 3, 1.5f, 16.0f / 9, 0.5625f};
constexpr BYTE kRangeTests[] = {0, 3, 7, 6, 5};

} // namespace

SearchCriteriaRows::SearchCriteriaRows()
{
    auto& general = m_lists[0];
    add<EnumParam>(general, "Search Scope", "Current folder and subfolder;Current album;All albums", 0);
    add<IntParam>(general, "Stop after reach", 100, 1, 512);
    add<HeadingParam>(general, "File information");
    add<StringParam>(general, "File name keywords", "");
    add<StringParam>(general, "Tag keywords(JPG only)", "");
    add<EnumParam>(general, "File format", "Any;jpeg/jpg;tiff/tif;bmp;gif;other", 0);
    add<HeadingParam>(general, "Time");
    add<EnumParam>(general, "Get time from", "EXIF or file create;File create;Last modify", 0);
    const EffectParam* timeRange = add<EnumParam>(general, "Time range", "Any;Before;After;During", 0);
    add<StringParam>(general, "From (At) mm/dd/yyyy", "")->ControlledBy(timeRange, {1, 2, 3});
    add<StringParam>(general, "To mm/dd/yyyy", "")->ControlledBy(timeRange, {3});
    add<HeadingParam>(general, "File size");
    const EffectParam* sizeRange = add<EnumParam>(general, "Size range", "Any;Between", 0);
    add<WideIntParam>(general, "From (At) Kbytes", 0, 0, 1000000)->ControlledBy(sizeRange, {1});
    add<WideIntParam>(general, "To Kbytes", 100000, 0, 1000000)->ControlledBy(sizeRange, {1});
    add<HeadingParam>(general, "Has it been visited in QuilloShelf?");
    add<EnumParam>(general, "Visited?", "Any;Yes", 0);

    auto& shape = m_lists[1];
    add<HeadingParam>(shape, "Image width");
    const EffectParam* widthRange = add<EnumParam>(shape, "Width range", "Any;Between", 0);
    add<WideIntParam>(shape, "Width from", 0, 0, 100000)->ControlledBy(widthRange, {1});
    add<WideIntParam>(shape, "Width to", 10000, 0, 100000)->ControlledBy(widthRange, {1});
    add<HeadingParam>(shape, "Image height");
    const EffectParam* heightRange = add<EnumParam>(shape, "Height range", "Any;Between", 0);
    add<WideIntParam>(shape, "Height from", 0, 0, 100000)->ControlledBy(heightRange, {1});
    add<WideIntParam>(shape, "Height to", 10000, 0, 100000)->ControlledBy(heightRange, {1});
    add<HeadingParam>(shape, "Aspect");
    add<EnumParam>(shape, "Aspect setting", "Any;Portrait;Landscape;4:3;3:4;2:3;3:2;16:9;9:16", 0);

    auto& histogram = m_lists[2];
    add<EnumParam>(histogram, "Image tone", "Any;Low;High;High contrast;Mono;Colorful", 0);
    add<EnumParam>(histogram, "Temperature", "Any;Warm;Cold;Contrast of both", 0);
    add<EnumParam>(histogram, "Have green plants", "Any;Yes;No green part", 0);
    add<EnumParam>(histogram, "Have blue sky", "Any;Yes;No blue part", 0);
    add<EnumParam>(histogram, "Have portrait(skin)", "Any;Yes", 0);

    auto& advance = m_lists[3];
    add<EnumParam>(advance, "If photo has no EXIF", "Include it;Skip it", 0);
    add<HeadingParam>(advance, "Aperture");
    const EffectParam* aperture = add<EnumParam>(advance, "Aperture range", "Any;=;<=;>=;may be...", 0);
    add<EnumParam>(advance, "F number", "1.0;1.8;2.0;2.3;2.6;2.8;3.2;3.5;4.0;4.5;5.0;5.6;6.0;6.3;7.0;8.0", 0)
        ->ControlledBy(aperture, {1, 2, 3, 4});
    add<HeadingParam>(advance, "Shutter");
    const EffectParam* shutter = add<EnumParam>(advance, "Shutter speed range", "Any;=;<=;>=;may be...", 0);
    add<EnumParam>(advance, "Speed (s)",
                   "8;4;2;1;0.66;0.5;0.33;/5;/8;/10;/15;/20;/30;/40;/50;/75;/80;/100;/150;/200;/400;/800;/1000;/2000",
                   0)
        ->ControlledBy(shutter, {1, 2, 3, 4});
    add<HeadingParam>(advance, "Flush");
    add<EnumParam>(advance, "Flush on?", "Any;Yes;No", 0);
    add<HeadingParam>(advance, "ISO speed");
    add<EnumParam>(advance, "ISO number", "Any;<=50;[50,100];[100,200];[200,400];[400,800];>800;<100;<200;<400", 0);
    add<HeadingParam>(advance, "Focus");
    add<EnumParam>(advance, "Focus distance (m)", "Any;[0,0.5];[0.5,2];[2,10];>=10;[0,2];[0,10]", 0);
    add<HeadingParam>(advance, "Exposure");
    add<EnumParam>(advance, "Exposure at (maybe)", "Any;Day,out door;Night;Other", 0);
    add<HeadingParam>(advance, "Camera model");
    add<StringParam>(advance, "Keywords", "");
}

std::vector<EffectParam*> SearchCriteriaRows::List(int number) const
{
    std::vector<EffectParam*> rows;
    if (number >= 1 && number <= 4)
        for (const auto& p : m_lists[number - 1])
            rows.push_back(p.get());
    return rows;
}

EffectParam* SearchCriteriaRows::Find(const char* name) const
{
    for (const auto& list : m_lists)
        for (const auto& p : list)
            if (p->name == name)
                return p.get();
    return nullptr;
}

int SearchCriteriaRows::Index(const char* name) const
{
    const auto* p = dynamic_cast<const EnumParam*>(Find(name));
    return p ? p->index : 0;
}

int SearchCriteriaRows::Number(const char* name) const
{
    const auto* p = dynamic_cast<const IntParam*>(Find(name));
    return p ? p->number : 0;
}

std::string SearchCriteriaRows::Text(const char* name) const
{
    const EffectParam* p = Find(name);
    return p ? p->Text() : std::string();
}

bool SearchCriteriaRows::ParseDate(const std::string& text, SearchDate& out)
{
    int parts[3] = {};
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        while (i < text.size() && std::strchr(":/- ", text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 6)
            ++i;
        if (i == start)
            break;
        parts[count++] = std::atoi(text.substr(start, i - start).c_str());
        if (i < text.size() && !std::strchr(":/- ", text[i]))
            return false;
    }
    if (count != 3)
        return false;
    const int month = parts[0], day = parts[1], year = parts[2];
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1901 || year > 2200)
        return false;
    out = {static_cast<WORD>(year), static_cast<WORD>(month), static_cast<WORD>(day)};
    return true;
}

std::vector<std::string> SearchCriteriaRows::SplitKeywords(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text + ' ') {
        if (std::strchr(" ;|,", c)) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

float SearchCriteriaRows::SpeedSeconds(const std::string& item)
{
    if (!item.empty() && item[0] == '/') {
        const int n = std::atoi(item.c_str() + 1);
        return n > 0 ? 1.0f / static_cast<float>(n) : 0.0f;
    }
    return static_cast<float>(std::atof(item.c_str()));
}

int SearchCriteriaRows::Read(const SearchScope& scope, SearchCriteria& c, std::vector<std::string>& folders) const
{
    c = SearchCriteria{};
    folders.clear();
    const int reach = Index("Search Scope");
    if (reach < 2 && scope.currentFolder.empty())
        return 66;
    if (reach == 0)
        folders.push_back(scope.currentFolder);
    else if (reach == 1)
        folders.push_back(scope.currentAlbum.empty() ? scope.currentFolder : scope.currentAlbum);
    else
        folders = scope.albums;

    c.stopCount = Number("Stop after reach");
    c.nameKeywords = SplitKeywords(Text("File name keywords"));
    c.tagKeywords.Parse(Text("Tag keywords(JPG only)").c_str());
    c.fileFormat = static_cast<BYTE>(Index("File format"));
    c.timeSource = static_cast<BYTE>(Index("Get time from"));
    static constexpr BYTE kTimeTests[] = {0, 1, 2, 4};
    c.timeTest = kTimeTests[std::clamp(Index("Time range"), 0, 3)];
    if (c.timeTest) {
        if (!ParseDate(Text("From (At) mm/dd/yyyy"), c.fromDate))
            return 68;
        if (c.timeTest == 4 && !ParseDate(Text("To mm/dd/yyyy"), c.toDate))
            return 69;
    }
    const auto between = [](DWORD& from, DWORD& to, int a, int b) {
        from = static_cast<DWORD>(std::min(a, b));
        to = static_cast<DWORD>(std::max(a, b));
    };
    if (Index("Size range") == 1) {
        c.sizeTest = 4;
        between(c.sizeFrom, c.sizeTo, Number("From (At) Kbytes"), Number("To Kbytes"));
    }
    c.visitedTest = Index("Visited?") == 1 ? 8 : 0;
    if (Index("Width range") == 1) {
        c.widthTest = 4;
        between(c.widthFrom, c.widthTo, Number("Width from"), Number("Width to"));
    }
    if (Index("Height range") == 1) {
        c.heightTest = 4;
        between(c.heightFrom, c.heightTo, Number("Height from"), Number("Height to"));
    }
    c.aspect = kAspects[std::clamp(Index("Aspect setting"), 0, 8)];
    c.tone = static_cast<BYTE>(Index("Image tone"));
    c.temperature = static_cast<BYTE>(Index("Temperature"));
    c.green = static_cast<BYTE>(Index("Have green plants"));
    c.sky = static_cast<BYTE>(Index("Have blue sky"));
    c.skin = static_cast<BYTE>(Index("Have portrait(skin)"));
    c.noExifRule = Index("If photo has no EXIF");
    c.apertureTest = kRangeTests[std::clamp(Index("Aperture range"), 0, 4)];
    c.fNumber = static_cast<float>(std::atof(Text("F number").c_str()));
    c.shutterTest = kRangeTests[std::clamp(Index("Shutter speed range"), 0, 4)];
    c.exposureTime = SpeedSeconds(Text("Speed (s)"));
    c.flashTest = static_cast<BYTE>(Index("Flush on?"));
    const Range iso = kIsoRanges[std::clamp(Index("ISO number"), 0, 9)];
    c.isoFrom = static_cast<WORD>(iso.from);
    c.isoTo = static_cast<WORD>(iso.to);
    const Range focus = kFocusRanges[std::clamp(Index("Focus distance (m)"), 0, 6)];
    c.focusFrom = focus.from;
    c.focusTo = focus.to;
    c.modelKeywords = SplitKeywords(Text("Keywords"));
    c.exposureClass = static_cast<BYTE>(Index("Exposure at (maybe)"));
    return 0;
}

} // namespace shelf
