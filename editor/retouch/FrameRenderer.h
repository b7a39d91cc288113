// Applies a frame template to a photo: a drawn template enlarges the canvas
// and draws border, rectangles, signature and logo; an image-based one lays
// the photo into the key-coloured window of its frame picture.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "editor/retouch/FrameTemplate.h"
#include "editor/shell/ExifInfo.h"

#include <string>

class FrameRenderer : public EffectAlgorithm {
public:
    static constexpr HRESULT kLogoFailed = static_cast<HRESULT>(0xFF9901);

    void SetExif(const ExifFields* fields) { m_exif = fields; }
    void SetUserText(const char* text) { m_userText = text; }
    // params: the FrameTemplate. 0, E_FAIL, or kLogoFailed when only the
    // logo could not be drawn.
    HRESULT Apply(const void* params) override;
    POINT GetResultOffset() const { return {m_photo.left, m_photo.top}; }

    // Expands the caption codes (%A %C %I %S %T %t %U) into at most 255 bytes.
    void FormatCaption(const char* text, std::string& out) const;
    // One line of black text on white; 1, or 0 when it cannot be made.
    static int RenderTextToImage(const char* face, int height, const char* text, CQLImage* image);

    // Shared pixel rules, public for their tests.
    static CPixel BlendPixelOver(CPixel base, CPixel colour);
    static int GetCornerOpacity(int x, int y, int r, const RECT& rect);
    // The window of the key colour's class in a frame picture; false when
    // there is none or it is 64 pixels or less in either direction.
    static bool FindPhotoWindow(const CQLImage& picture, CPixel key, RECT* window);
    static void ApplyKeyColour(CQLImage& picture, CPixel key);

private:
    HRESULT ApplyDrawn();
    HRESULT ApplyImageBased();
    bool Canvas();
    void Border();
    void Rectangles();
    bool Signature();
    bool RenderSignature(const SignatureSettings& s, const std::string& text, int height);
    bool Logo();

    const FrameTemplate* m_template = nullptr;
    const ExifFields* m_exif = nullptr;
    const char* m_userText = nullptr;
    RECT m_photo{};
    int m_photoWidth = 0;
    int m_photoHeight = 0;
    // The scaled signature, drawn once per Apply and laid twice.
    CQLImage m_signatureText;
    bool m_signatureReady = false;
};
