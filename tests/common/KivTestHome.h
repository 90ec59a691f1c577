#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

// Gives each test a fresh, empty platform home (KIV_HOME) and a scratch folder, both removed
// afterwards, and puts the previous KIV_HOME back.
class KivTestHome : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The temporary platform home of this test.
    const std::filesystem::path& Home() const { return m_home; }
    // A scratch folder outside the home, for files a person would keep anywhere.
    const std::filesystem::path& Scratch() const { return m_scratch; }
    // DOS form (Z:\...) of a path below the scratch folder.
    std::string ScratchDos(const std::string& relative = {}) const;

    static std::string ReadFile(const std::filesystem::path& path);
    static void WriteFile(const std::filesystem::path& path, const std::string& bytes);
    // Every file of a folder (not below it) by name, with its bytes.
    static std::map<std::string, std::string> ReadFolder(const std::filesystem::path& folder);

private:
    std::filesystem::path m_root;
    std::filesystem::path m_home;
    std::filesystem::path m_scratch;
    std::string m_previousHome;
    bool m_hadHome = false;
};
