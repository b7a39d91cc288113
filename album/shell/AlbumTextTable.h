// The album's English prompts, captions and tips, read by number.
#pragma once

#include <vector>

class CAlbumTextTable {
public:
    static constexpr int kCount = 91;

    CAlbumTextTable();
    void Add(const char* text);
    // "" for an id outside the table or one of the unused 57 to 59.
    const char* GetText(int id) const;

private:
    std::vector<const char*> m_texts;
};

extern const CAlbumTextTable theAlbumTexts;
