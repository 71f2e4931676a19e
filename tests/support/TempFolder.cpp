#include "support/TempFolder.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

std::optional<std::string> GetEnv(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return std::nullopt;
    return std::string(value);
}

void RestoreEnv(const char* name, const std::optional<std::string>& value) {
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

} // namespace

TTempFolder::TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "varntest-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed for " + pattern);
    m_path = buffer.data();
}

TTempFolder::~TTempFolder() {
    std::error_code ignored; // a test that failed half-way may leave odd permissions
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

TScopedXdgHome::TScopedXdgHome()
    : m_oldConfig(GetEnv("XDG_CONFIG_HOME")), m_oldData(GetEnv("XDG_DATA_HOME")) {
    std::filesystem::create_directories(ConfigHome());
    std::filesystem::create_directories(DataHome());
    setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
}

TScopedXdgHome::~TScopedXdgHome() {
    RestoreEnv("XDG_CONFIG_HOME", m_oldConfig);
    RestoreEnv("XDG_DATA_HOME", m_oldData);
}

TScopedHome::TScopedHome(const std::filesystem::path& home) : m_old(GetEnv("HOME")) {
    std::filesystem::create_directories(home);
    setenv("HOME", home.c_str(), 1);
}

TScopedHome::~TScopedHome() {
    RestoreEnv("HOME", m_old);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string PatternBytes(std::size_t length, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(length, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
