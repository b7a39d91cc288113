// The album's window tests: the program-wide state over the build's program
// folder, scratch profiles and grabs.
#pragma once

#include "album/shell/AlbumGlobals.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace shelfkit {

// theAlbum over the build's bin/ (skin strip, pattern brush 228) with the
// application's profile in a scratch file; undone at the end.
class ShelfWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string ProfileText() const;

    std::unique_ptr<shelf::AlbumGlobals> m_globals;
    std::string m_profile;
    const char* m_oldProfile = nullptr;
};

// Saves build/tests/<name>.png; the path, or "" when it could not.
std::string SaveGrab(const QImage& grab, const char* name);
// The corpus photo's path, or "" when the corpus is absent.
std::string CorpusPhoto(const char* relative);

} // namespace shelfkit
