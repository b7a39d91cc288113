// A fresh temporary folder for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

class GlanceTempDir {
public:
    GlanceTempDir()
    {
        static int n = 0;
        m_path = std::filesystem::temp_directory_path()
                 / ("glance-test-" + std::to_string(::getpid()) + "-" + std::to_string(++n));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~GlanceTempDir() { std::filesystem::remove_all(m_path); }
    GlanceTempDir(const GlanceTempDir&) = delete;
    GlanceTempDir& operator=(const GlanceTempDir&) = delete;

    // The folder with a trailing '/'.
    std::string Path() const { return m_path.string() + "/"; }
    void Write(const std::string& name, const std::string& text) const
    {
        std::filesystem::create_directories((m_path / name).parent_path());
        std::ofstream(m_path / name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_path / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path m_path;
};
