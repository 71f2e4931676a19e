#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// A fresh folder under the system's temporary directory, removed with all it
// holds when the object goes away. Every test that touches files works in one.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Path of a name inside the folder, as text.
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Sets (or with nullptr unsets) the environment variable `name` for the
// object's life, then restores it.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const char* value);
    TScopedEnv(const char* name, const std::string& value) : TScopedEnv(name, value.c_str()) {}
    ~TScopedEnv();
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at folders inside a temporary folder
// for the object's life, so that no test reads or writes the real home.
class TScopedXdgHome {
public:
    TScopedXdgHome(); // neither copied nor assigned, as its members

    std::filesystem::path ConfigHome() const { return m_root.Path() / "config"; }
    std::filesystem::path DataHome() const { return m_root.Path() / "data"; }

private:
    TTempFolder m_root;
    TScopedEnv m_config, m_data;
};

// Points HOME at `home` (created) for the object's life. The home's trash takes
// files only from its own volume, so tests that trash files keep both inside
// their temporary folder.
class TScopedHome {
public:
    explicit TScopedHome(const std::filesystem::path& home) : m_home("HOME", home) {
        std::filesystem::create_directories(home);
    }

private:
    TScopedEnv m_home;
};

// Helpers for building and reading test files.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
// Deterministic pseudo-random content of the given length.
std::string PatternBytes(std::size_t length, unsigned seed = 1);
// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::filesystem::path& folder);
