#pragma once

#include "repository/KivRepositoryFixture.h"
#include "support/KivProgress.h"

#include <string>
#include <vector>

// Records what a run reports and asks for a cancel at the chosen CancelRequested call.
class KivRecordingProgress : public KivProgress {
public:
    // 0: never; n: the n-th question is answered "cancel".
    int cancelAt = 0;
    int questions = 0;
    std::string caption;
    std::string label;
    uint32_t minimum = 0, maximum = 0;
    std::vector<uint32_t> positions;
    std::vector<std::string> texts;

    void SetCaption(const std::string& text) override { caption = text; }
    void SetRange(int, uint32_t low, uint32_t high) override { minimum = low, maximum = high; }
    void SetPosition(int, uint32_t position) override { positions.push_back(position); }
    void SetText(int, const std::string& text) override { texts.push_back(text); }
    void SetLabel(int, const std::string& text) override { label = text; }
    void SetWaitText(const std::string&) override {}
    bool CancelRequested() override { return ++questions == cancelAt; }
};

// A repository with helpers that build applications using libraries.
class KivTransferTest : public KivRepositoryTest {
protected:
    // Imports an application (a library when `library`) naming these libraries, with one module
    // "<name>Mod" holding one function "<name>Fn", into the current project.
    std::shared_ptr<KivVOApplication>
    App(const std::string& name, const std::vector<std::string>& libraries = {}, bool library = false);
    std::shared_ptr<KivVOApplication> Lib(const std::string& name,
                                          const std::vector<std::string>& libraries = {}) {
        return App(name, libraries, true);
    }
    void MakeSystemLibrary(const std::string& name);
    // The names of the applications, in order.
    static std::vector<std::string> Names(const std::vector<std::shared_ptr<KivVOApplication>>& apps);
    // The application's modules and entity sources as "Mod:Fn=source" lines, in list order.
    static std::vector<std::string> Content(KivVOApplication& app);

    int m_files = 0;
};
