#include "common/KivTestHome.h"

#include "platform/KivDosPath.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

void KivTestHome::SetUp() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kivtest-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_root = pattern;
    m_home = m_root / "home";
    m_scratch = m_root / "scratch";
    std::filesystem::create_directories(m_home);
    std::filesystem::create_directories(m_scratch);
    if (const char* previous = std::getenv("KIV_HOME")) {
        m_hadHome = true;
        m_previousHome = previous;
    }
    setenv("KIV_HOME", m_home.c_str(), 1);
}

void KivTestHome::TearDown() {
    if (m_hadHome)
        setenv("KIV_HOME", m_previousHome.c_str(), 1);
    else
        unsetenv("KIV_HOME");
    std::error_code ec;
    // Tests make folders read-only to provoke failures; give the rights back before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(m_root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_root, ec);
}

std::string KivTestHome::ScratchDos(const std::string& relative) const {
    std::string dos = kiv::dospath::FromHost(m_scratch);
    if (!relative.empty())
        dos += "\\" + relative;
    return dos;
}

std::string KivTestHome::ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void KivTestHome::WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::map<std::string, std::string> KivTestHome::ReadFolder(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadFile(entry.path());
    return files;
}
