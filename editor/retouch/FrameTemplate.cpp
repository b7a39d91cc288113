#include "editor/retouch/FrameTemplate.h"

#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileOps.h"
#include "platform/win/FileReplace.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

constexpr char kDefaultName[] = "Untittle";
constexpr std::int64_t kMaxPictureSide = 32767;
constexpr std::int64_t kMaxPicturePixels = 100'000'000;

FrameMessageHandler g_messageHandler = nullptr;

// Field-by-field little-endian coding of the blocks.
class Out {
public:
    explicit Out(std::vector<BYTE>& bytes) : m_bytes(bytes) {}
    void Int(std::int32_t v)
    {
        const auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<BYTE>(u >> (8 * i)));
    }
    void Length(const FrameLength& l)
    {
        Int(l.inPixels);
        Int(l.value);
    }
    void Colour(CPixel c) { Bytes(&c, 4); }
    void Byte(BYTE b)
    {
        m_bytes.push_back(b);
        Zero(3);
    }
    void Text(const char* text, std::size_t field)
    {
        const std::size_t n = strnlen(text, field - 1);
        Bytes(text, n);
        Zero(field - n);
    }
    void Bytes(const void* data, std::size_t n)
    {
        const auto* p = static_cast<const BYTE*>(data);
        m_bytes.insert(m_bytes.end(), p, p + n);
    }
    void Zero(std::size_t n) { m_bytes.insert(m_bytes.end(), n, 0); }

private:
    std::vector<BYTE>& m_bytes;
};

class In {
public:
    explicit In(const BYTE* data) : m_p(data) {}
    std::int32_t Int()
    {
        std::uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= std::uint32_t{m_p[i]} << (8 * i);
        m_p += 4;
        return static_cast<std::int32_t>(u);
    }
    FrameLength Length()
    {
        FrameLength l;
        l.inPixels = Int();
        l.value = Int();
        return l;
    }
    CPixel Colour()
    {
        CPixel c{m_p[0], m_p[1], m_p[2], m_p[3]};
        m_p += 4;
        return c;
    }
    BYTE Byte()
    {
        const BYTE b = m_p[0];
        m_p += 4;
        return b;
    }
    // The field's last byte is forced to NUL.
    void Text(char* out, std::size_t field)
    {
        std::memcpy(out, m_p, field);
        out[field - 1] = '\0';
        m_p += field;
    }
    void Skip(std::size_t n) { m_p += n; }

private:
    const BYTE* m_p;
};

void Store(Out& o, const TemplateInfo& b)
{
    o.Text(b.name, sizeof b.name);
    o.Text(b.comment, sizeof b.comment);
    o.Text(b.author, sizeof b.author);
}
void Load(In& i, TemplateInfo& b)
{
    i.Text(b.name, sizeof b.name);
    i.Text(b.comment, sizeof b.comment);
    i.Text(b.author, sizeof b.author);
}

void Store(Out& o, const CanvasSettings& b)
{
    o.Length(b.top);
    o.Length(b.left);
    o.Length(b.right);
    o.Length(b.bottom);
    o.Colour(b.colour);
}
void Load(In& i, CanvasSettings& b)
{
    b.top = i.Length();
    b.left = i.Length();
    b.right = i.Length();
    b.bottom = i.Length();
    b.colour = i.Colour();
}

void Store(Out& o, const SignatureSettings& b)
{
    o.Text(b.text, sizeof b.text);
    o.Text(b.face, sizeof b.face);
    o.Int(b.enabled);
    o.Length(b.x);
    o.Length(b.y);
    o.Length(b.height);
    o.Byte(b.align);
    o.Colour(b.colour);
    o.Zero(256);
}
void Load(In& i, SignatureSettings& b)
{
    i.Text(b.text, sizeof b.text);
    i.Text(b.face, sizeof b.face);
    b.enabled = i.Int();
    b.x = i.Length();
    b.y = i.Length();
    b.height = i.Length();
    b.align = i.Byte();
    b.colour = i.Colour();
}

void Store(Out& o, const LogoSettings& b)
{
    o.Text(b.path, sizeof b.path);
    o.Text(b.maskPath, sizeof b.maskPath);
    o.Int(b.enabled);
    o.Byte(b.mode);
    o.Length(b.x);
    o.Length(b.y);
    o.Length(b.width);
    o.Zero(256);
}
void Load(In& i, LogoSettings& b)
{
    i.Text(b.path, sizeof b.path);
    i.Text(b.maskPath, sizeof b.maskPath);
    b.enabled = i.Int();
    b.mode = i.Byte();
    b.x = i.Length();
    b.y = i.Length();
    b.width = i.Length();
}

void Store(Out& o, const BorderSettings& b)
{
    o.Byte(b.type);
    o.Length(b.top);
    o.Length(b.left);
    o.Length(b.right);
    o.Length(b.bottom);
    o.Colour(b.colour);
    o.Int(b.enabled);
    o.Length(b.shadowX);
    o.Length(b.shadowY);
    o.Length(b.shadowBlur);
    o.Colour(b.shadowColour);
    o.Colour(b.rightBottomColour);
    o.Byte(b.pattern);
    o.Colour(b.secondColour);
}
void Load(In& i, BorderSettings& b)
{
    b.type = i.Byte();
    b.top = i.Length();
    b.left = i.Length();
    b.right = i.Length();
    b.bottom = i.Length();
    b.colour = i.Colour();
    b.enabled = i.Int();
    b.shadowX = i.Length();
    b.shadowY = i.Length();
    b.shadowBlur = i.Length();
    b.shadowColour = i.Colour();
    b.rightBottomColour = i.Colour();
    b.pattern = i.Byte();
    b.secondColour = i.Colour();
}

void Store(Out& o, const FrameRectangle& b)
{
    o.Length(b.top);
    o.Length(b.left);
    o.Length(b.right);
    o.Length(b.bottom);
    o.Int(b.flag);
    o.Int(b.lineWidth);
    o.Colour(b.colour);
}
void Load(In& i, FrameRectangle& b)
{
    b.top = i.Length();
    b.left = i.Length();
    b.right = i.Length();
    b.bottom = i.Length();
    b.flag = i.Int();
    b.lineWidth = i.Int();
    b.colour = i.Colour();
}

void Store(Out& o, const FramePicture& p)
{
    o.Int(p.width);
    o.Int(p.height);
    o.Int(p.offset);
    o.Int(p.length);
}
void Load(In& i, FramePicture& p)
{
    p.width = i.Int();
    p.height = i.Int();
    p.offset = i.Int();
    p.length = i.Int();
}

void Store(Out& o, const FreeShapeSettings& b)
{
    Store(o, b.landscape);
    Store(o, b.portrait);
    o.Colour(b.keyColour);
    o.Zero(252);
}
void Load(In& i, FreeShapeSettings& b)
{
    Load(i, b.landscape);
    Load(i, b.portrait);
    b.keyColour = i.Colour();
}

// A chunk's data into a block of `size` bytes: a short chunk fills the rest
// with zeros, a long one's extra bytes are ignored.
template <class Block>
void LoadBlock(const std::vector<BYTE>& data, Block& block)
{
    std::vector<BYTE> whole(Block::kSize, 0);
    std::copy_n(data.begin(), std::min(data.size(), Block::kSize), whole.begin());
    In in(whole.data());
    block = Block{};
    Load(in, block);
}

template <class Block>
void AppendChunk(std::vector<BYTE>& file, BYTE id, const Block& block)
{
    Out o(file);
    file.push_back(id);
    o.Int(static_cast<std::int32_t>(Block::kSize));
    Store(o, block);
}

bool ReadWholeFile(const std::string& path, std::vector<BYTE>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool PictureFits(const FramePicture& p, std::int64_t fileSize)
{
    return p.width >= 1 && p.height >= 1 && p.width <= kMaxPictureSide && p.height <= kMaxPictureSide &&
           std::int64_t{p.width} * p.height <= kMaxPicturePixels && p.offset >= 0 && p.length > 0 &&
           std::int64_t{p.offset} + p.length <= fileSize;
}

// The picture's pixels as one zlib stream; empty when compression failed.
std::vector<BYTE> Compress(const CQLImage& image)
{
    UINT width = 0, height = 0;
    image.GetSize(&width, &height);
    const uLong raw = static_cast<uLong>(width) * height * 4;
    std::vector<BYTE> out(compressBound(raw));
    uLongf length = out.size();
    if (raw == 0 || compress(out.data(), &length, image.GetBuffer(0, 0), raw) != Z_OK)
        return {};
    out.resize(length);
    return out;
}

bool Inflate(const BYTE* data, std::size_t length, const FramePicture& p, CQLImage* image)
{
    if (image->Create(static_cast<UINT>(p.width), static_cast<UINT>(p.height)) != 0)
        return false;
    const uLong raw = static_cast<uLong>(p.width) * static_cast<uLong>(p.height) * 4;
    uLongf got = raw;
    if (uncompress(image->GetBuffer(0, 0), &got, data, length) != Z_OK || got != raw) {
        image->Free();
        return false;
    }
    return true;
}

}  // namespace

void SetFrameMessageHandler(FrameMessageHandler handler)
{
    g_messageHandler = handler;
}

void ReportFrameMessage(const char* text)
{
    if (g_messageHandler)
        g_messageHandler(text);
    else
        std::fprintf(stderr, "%s\n", text);
}

void SanitizeName(char* dest, const char* src)
{
    std::size_t n = 0;
    for (; src[n] && n < sizeof TemplateInfo{}.name - 1; ++n)
        dest[n] = std::strchr("\"'*/:?\\~", src[n]) ? '_' : src[n];
    dest[n] = '\0';
}

FrameTemplate::FrameTemplate()
{
    m_freeShape = FreeShapeSettings{};
    ResetToDefaults();
}

FrameTemplate::~FrameTemplate() = default;

void FrameTemplate::ResetToDefaults()
{
    m_info = TemplateInfo{};
    SanitizeName(m_info.name, kDefaultName);
    m_canvas = CanvasSettings{};
    m_canvas.colour = {0, 0, 0, 255};
    m_signature = SignatureSettings{};
    std::snprintf(m_signature.face, sizeof m_signature.face, "Arial");
    m_signature.y = {0, 100};
    m_signature.height = {0, 3};
    m_signature.colour = {255, 255, 255, 255};
    m_logo = LogoSettings{};
    m_logo.x = {0, 98};
    m_logo.y = {0, 100};
    m_logo.width = {0, 2};
    m_border = BorderSettings{};
    m_border.colour = {0, 0, 0, 255};
    m_border.shadowColour = {0, 0, 0, 128};
    m_border.rightBottomColour = {0, 0, 0, 255};
    m_rectangles.clear();
    m_imageBased = 0;
}

void FrameTemplate::CopyFrom(const FrameTemplate& other)
{
    m_info = other.m_info;
    m_canvas = other.m_canvas;
    m_signature = other.m_signature;
    m_logo = other.m_logo;
    m_border = other.m_border;
    m_rectangles = other.m_rectangles;
    m_freeShape = other.m_freeShape;
    m_imageBased = other.m_imageBased;
}

int FrameTemplate::Read(const char* path)
{
    m_path = path;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 0;
    std::vector<BYTE> data;
    for (;;) {
        char id = 0;
        if (!in.get(id))
            return 1;
        BYTE lengthBytes[4];
        if (!in.read(reinterpret_cast<char*>(lengthBytes), 4))
            return 1;
        const std::int32_t length = In(lengthBytes).Int();
        if (length < 0 || static_cast<std::size_t>(length) > kMaxChunk)
            return 0;
        data.resize(static_cast<std::size_t>(length));
        if (!in.read(reinterpret_cast<char*>(data.data()), length))
            return 1;
        switch (static_cast<BYTE>(id)) {
        case 0: LoadBlock(data, m_info); break;
        case 1: LoadBlock(data, m_canvas); break;
        case 2: LoadBlock(data, m_signature); break;
        case 3: LoadBlock(data, m_logo); break;
        case 4: LoadBlock(data, m_border); break;
        case 5:
            m_rectangles.clear();
            if (data.size() % FrameRectangle::kSize == 0) {
                m_rectangles.resize(data.size() / FrameRectangle::kSize);
                In rects(data.data());
                for (FrameRectangle& r : m_rectangles)
                    Load(rects, r);
            }
            break;
        case 6:
            LoadBlock(data, m_freeShape);
            m_imageBased = 1;
            return 1;
        default:
            return 0;
        }
    }
}

int FrameTemplate::ReadPicture(bool portrait, CQLImage* image) const
{
    const FramePicture& p = portrait ? m_freeShape.portrait : m_freeShape.landscape;
    std::ifstream in(m_path, std::ios::binary | std::ios::ate);
    if (!m_imageBased || !in)
        return 0;
    const std::int64_t fileSize = in.tellg();
    if (!PictureFits(p, fileSize))
        return 0;
    std::vector<BYTE> data(static_cast<std::size_t>(p.length));
    if (!in.seekg(p.offset) || !in.read(reinterpret_cast<char*>(data.data()), p.length))
        return 0;
    return Inflate(data.data(), data.size(), p, image) ? 1 : 0;
}

int FrameTemplate::Write(const char* path)
{
    if (m_imageBased) {
        // The pictures live in the template's file; carry them over.
        CQLImage landscape, portrait;
        if (!ReadPicture(false, &landscape) || !ReadPicture(true, &portrait)) {
            ReportFrameMessage("Can not open frame template file");
            return 0;
        }
        return WriteImageBased(path, landscape, portrait);
    }
    std::vector<BYTE> file;
    AppendChunk(file, 0, m_info);
    AppendChunk(file, 1, m_canvas);
    AppendChunk(file, 2, m_signature);
    AppendChunk(file, 3, m_logo);
    AppendChunk(file, 4, m_border);
    const std::size_t count = std::min(m_rectangles.size(), kMaxRectangles);
    Out o(file);
    file.push_back(5);
    o.Int(static_cast<std::int32_t>(count * FrameRectangle::kSize));
    for (std::size_t i = 0; i < count; ++i)
        Store(o, m_rectangles[i]);

    if (!qlwin::ReplaceFileContents(path, {reinterpret_cast<const char*>(file.data()), file.size()})) {
        ReportFrameMessage("Can not open frame template file");
        return 0;
    }
    m_path = path;
    return 1;
}

int FrameTemplate::WriteImageBased(const char* path, const CQLImage& landscape, const CQLImage& portrait)
{
    const std::vector<BYTE> landscapeData = Compress(landscape);
    const std::vector<BYTE> portraitData = Compress(portrait);
    if (landscapeData.empty() || portraitData.empty()) {
        ReportFrameMessage("Can not open frame template file");
        return 0;
    }
    std::vector<BYTE> file;
    AppendChunk(file, 0, m_info);
    AppendChunk(file, 2, m_signature);
    const std::size_t picturesAt = file.size() + 5 + FreeShapeSettings::kSize;
    FreeShapeSettings shape = m_freeShape;
    UINT w = 0, h = 0;
    landscape.GetSize(&w, &h);
    shape.landscape = {static_cast<std::int32_t>(w), static_cast<std::int32_t>(h),
                       static_cast<std::int32_t>(picturesAt), static_cast<std::int32_t>(landscapeData.size())};
    portrait.GetSize(&w, &h);
    shape.portrait = {static_cast<std::int32_t>(w), static_cast<std::int32_t>(h),
                      static_cast<std::int32_t>(picturesAt + landscapeData.size()),
                      static_cast<std::int32_t>(portraitData.size())};
    AppendChunk(file, 6, shape);
    file.insert(file.end(), landscapeData.begin(), landscapeData.end());
    file.insert(file.end(), portraitData.begin(), portraitData.end());
    if (file.size() > 0x7FFFFFFF ||
        !qlwin::ReplaceFileContents(path, {reinterpret_cast<const char*>(file.data()), file.size()})) {
        ReportFrameMessage("Can not open frame template file");
        return 0;
    }
    m_freeShape = shape;
    m_imageBased = 1;
    m_path = path;
    return 1;
}

int FrameTemplate::ExtractImages(const char* landscapePath, const char* portraitPath) const
{
    CQLImageCodec codec;
    CQLImage image;
    if (!ReadPicture(false, &image) || !codec.SaveFile(landscapePath, &image))
        return 0;
    if (!ReadPicture(true, &image) || !codec.SaveFile(portraitPath, &image))
        return 0;
    return 1;
}

int FrameTemplate::Rename(const char* newName)
{
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(m_path, bytes))
        return 0;
    // The walk is bounded by the file: a length running past it ends it.
    std::size_t pos = 0, info = 0;
    bool found = false;
    while (pos + 5 <= bytes.size()) {
        const BYTE id = bytes[pos];
        const std::int32_t length = In(&bytes[pos + 1]).Int();
        if (length < 0 || pos + 5 + static_cast<std::size_t>(length) > bytes.size())
            break;
        if (id == 0) {
            found = length >= static_cast<std::int32_t>(TemplateInfo::kSize);
            info = pos + 5;
            break;
        }
        if (id == 6)
            break;
        pos += 5 + static_cast<std::size_t>(length);
    }
    if (!found)
        return 0;
    const TemplateInfo old = m_info;
    SanitizeName(m_info.name, newName);
    std::vector<BYTE> block;
    Out o(block);
    Store(o, m_info);
    std::copy(block.begin(), block.end(), bytes.begin() + static_cast<std::ptrdiff_t>(info));
    if (!qlwin::ReplaceFileContents(m_path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()})) {
        m_info = old;
        return 0;
    }
    return 1;
}

BOOL FrameTemplate::Delete()
{
    return !m_path.empty() && DeleteFile(m_path.c_str());
}
