#include "album/tools/BatchAction.h"

#include "editor/retouch/FrameCategory.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <strings.h>

namespace shelf {
namespace {

constexpr size_t kMaxListText = 2048;

void AddResizeOptions(BatchAction& a)
{
    a.params.push_back(std::make_unique<HeadingParam>("Advanced"));
    a.params.push_back(std::make_unique<EnumParam>("Enlarge: Keep Edge", "true;false", 0));
    a.params.push_back(std::make_unique<IntParam>("Scale down: Details", 90, 0, 100));
    a.params.push_back(std::make_unique<IntParam>("Scale down: Sharpen", 20, 0, 100));
}

BatchAction& Add(ActionTable& table, int id, const char* name)
{
    BatchAction& a = table.emplace_back();
    a.id = id;
    a.name = name;
    return a;
}

// "a;b;" of names, at most kMaxListText characters in all.
void AppendItem(std::string& list, const std::string& name)
{
    if (list.size() + name.size() + 1 <= kMaxListText)
        list += name + ";";
}

bool HasExtension(const std::string& name, const char* ext)
{
    const size_t n = std::strlen(ext);
    return name.size() > n && strcasecmp(name.c_str() + name.size() - n, ext) == 0;
}

// Regular files of folder with the extension, in name order.
std::vector<std::filesystem::path> FilesOf(const std::string& folder, const char* ext)
{
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec) && HasExtension(it->path().filename().string(), ext))
            out.push_back(it->path());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

EffectParam* BatchAction::Find(const char* paramName) const
{
    for (const auto& p : params)
        if (strcasecmp(p->name.c_str(), paramName) == 0)
            return p.get();
    return nullptr;
}

int BatchAction::Int(const char* paramName) const
{
    const auto* p = dynamic_cast<const IntParam*>(Find(paramName));
    return p ? p->number : 0;
}

int BatchAction::Index(const char* paramName) const
{
    const auto* p = dynamic_cast<const EnumParam*>(Find(paramName));
    return p ? p->index : 0;
}

BatchResources::BatchResources() = default;
BatchResources::~BatchResources() = default;

int BuildActionTable(const std::string& programFolder, ActionTable& table, BatchResources& res)
{
    table.clear();
    table.reserve(50);

    std::string frameList;
    res.frames = std::make_unique<FrameCategory>(programFolder);
    res.frames->Scan();
    for (const FrameTemplate* t : res.frames->m_templates)
        AppendItem(frameList, std::string(t->m_info.name, strnlen(t->m_info.name, sizeof t->m_info.name)));

    std::string themeList;
    res.themes.clear();
    for (const auto& path : FilesOf(programFolder + "ColorTheme/", ".cth")) {
        ColorTheme theme;
        if (!theme.Load(path.string()))
            continue;
        AppendItem(themeList, theme.Name());
        res.themes.push_back(std::move(theme));
    }

    std::string presetList;
    res.presets.clear();
    res.presetNames.clear();
    for (const auto& path : FilesOf(programFolder + "SaveSet/", ".tsp")) {
        JpegSlimSettings settings;
        if (!LoadTspFile(path.c_str(), &settings))
            continue;
        const std::string file = path.filename().string();
        res.presets.push_back(settings);
        res.presetNames.push_back(file.substr(0, file.size() - 4));
        presetList += res.presetNames.back() + ";";
    }

    for (auto [id, name] : {std::pair{0, "Rotate left"}, {1, "Rotate right"}, {2, "Flip horizontally"},
                            {3, "Flip vertically"}})
        Add(table, id, name);
    {
        auto& a = Add(table, 4, "Resize by pixel number");
        a.params.push_back(std::make_unique<WideIntParam>("Pixel number", 300000, 5000, 10000000));
        AddResizeOptions(a);
    }
    {
        auto& a = Add(table, 5, "Resize by width");
        a.params.push_back(std::make_unique<WideIntParam>("Width", 640, 16, 5000));
        AddResizeOptions(a);
    }
    {
        auto& a = Add(table, 6, "Resize by long side");
        a.params.push_back(std::make_unique<WideIntParam>("Long side", 640, 16, 5000));
        AddResizeOptions(a);
    }
    {
        auto& a = Add(table, 7, "Resize by width and height");
        a.params.push_back(std::make_unique<WideIntParam>("Width", 640, 16, 5000));
        a.params.push_back(std::make_unique<WideIntParam>("Height", 640, 16, 5000));
        AddResizeOptions(a);
    }
    Add(table, 8, "Auto level");
    Add(table, 9, "Auto contrast");
    Add(table, 10, "Get rid of fog").params.push_back(std::make_unique<IntParam>("Amount", 70, 0, 100));
    Add(table, 11, "Adjust saturation").params.push_back(std::make_unique<IntParam>("Saturation", 0, -127, 128));
    Add(table, 12, "Grayscale");
    {
        auto& a = Add(table, 20, "Blur & Diffuse");
        a.params.push_back(std::make_unique<IntParam>("Radius", 32, 0, 256));
        a.params.push_back(std::make_unique<IntParam>("Opacity", 50, 0, 100));
    }
    Add(table, 13, "Noise reduction").params.push_back(std::make_unique<EnumParam>("Erase color noise", "false;true;", 0));
    {
        auto& a = Add(table, 14, "Digital Beauty");
        a.params.push_back(std::make_unique<IntParam>("Skin Level", 10, 0, 100));
        a.params.push_back(std::make_unique<IntParam>("More Pink", 25, 0, 100));
        a.params.push_back(std::make_unique<IntParam>("Clean Amount", 50, 0, 100));
        a.params.push_back(std::make_unique<IntParam>("Clean Radius", 16, 1, 32));
        a.params.push_back(std::make_unique<EnumParam>("Fake Texture", "false;true", 1));
    }
    {
        auto& a = Add(table, 15, "Quillo Sharpen");
        a.params.push_back(std::make_unique<IntParam>("Amount", 70, 0, 100));
        a.params.push_back(std::make_unique<IntParam>("Radius", 2, 0, 128));
    }
    if (!res.frames->m_templates.empty())
        Add(table, 16, "Add frame").params.push_back(std::make_unique<EnumParam>("Frame templates", frameList.c_str(), 0));
    if (!res.themes.empty()) {
        auto& a = Add(table, 17, "Color Theme");
        a.params.push_back(std::make_unique<EnumParam>("Color Theme", themeList.c_str(), 0));
        a.params.push_back(std::make_unique<IntParam>("Amount", 100, 0, 100));
    }
    {
        auto& a = Add(table, 18, "Add date");
        a.params.push_back(std::make_unique<EnumParam>("Style", "X-X-X;X/X/X;X X X;", 0));
        a.params.push_back(std::make_unique<EnumParam>("Order", "YMD;MDY;DMY;YM;MY", 1));
        a.params.push_back(std::make_unique<EnumParam>("If No Exif", "Ignore;Use file-create time;", 0));
        a.params.push_back(std::make_unique<EnumParam>("Horizontal", "Left;Center;Right;", 2));
        a.params.push_back(std::make_unique<EnumParam>("Vertical", "Top;Center;Bottom;", 2));
        a.params.push_back(std::make_unique<IntParam>("Size", 3, 1, 12));
        a.params.push_back(std::make_unique<EnumParam>("Color", "Black;White;Red;", 1));
    }
    {
        auto& a = Add(table, 21, "Save for Web");
        a.params.push_back(std::make_unique<EnumParam>("Jpeg scheme", presetList.c_str(), 0));
        a.params.push_back(std::make_unique<EnumParam>("Ignore following", "Yes", 0));
    }
    {
        auto& a = Add(table, 19, "Save");
        a.selected = 1;
        auto format = std::make_unique<EnumParam>("Format", "Jpeg;Tiff;Bmp;", 0);
        const EffectParam* f = format.get();
        a.params.push_back(std::move(format));
        a.params.push_back(std::make_unique<IntParam>("Quality if JPEG", 95, 1, 100));
        a.params.push_back(std::make_unique<EnumParam>("Keep EXIF info", "false;true;", 1));
        a.params.push_back(std::make_unique<EnumParam>("High Quality Color(Large Size)", "false;true;", 1));
        for (int i = 1; i <= 3; ++i)
            a.params[i]->ControlledBy(f, {0});
        a.params.push_back(std::make_unique<EnumParam>("Rename only", "No;Yes;", 0));
    }
    return 1;
}

BatchAction* FindAction(ActionTable& table, int id)
{
    for (auto& a : table)
        if (a.id == id)
            return &a;
    return nullptr;
}

const BatchAction* FindAction(const ActionTable& table, int id)
{
    for (const auto& a : table)
        if (a.id == id)
            return &a;
    return nullptr;
}

} // namespace shelf
