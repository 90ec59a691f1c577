#include "explorer/transfer/KivTransferFixture.h"

std::shared_ptr<KivVOApplication>
KivTransferTest::App(const std::string& name, const std::vector<std::string>& libraries, bool library) {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName(name);
    for (const std::string& lib : libraries)
        w.Text(0x0004, lib);
    w.AppInfo(1300000000, 1200000000, library);
    w.Module(name + "Mod", 1100000000, 1000000000);
    w.Entity({name + "Fn", 3, 17, "FUNCTION " + name + "Fn()", "FUNCTION " + name + "Fn()\r\nRETURN 1\r\n"});
    const std::string file = "in_" + std::to_string(++m_files) + ".aef";
    WriteFile(Scratch() / file, w.End());
    KivVOProject project;
    EXPECT_TRUE(project.ImportApplication(name, ScratchDos(file), 1, 0)) << project.ErrorString();
    return project.ApplicationFind(name);
}

void KivTransferTest::MakeSystemLibrary(const std::string& name) {
    uint16_t id = 0;
    ASSERT_EQ(Store().AppFind(name.c_str(), &id), 0u);
    ASSERT_EQ(Store().AppSetSysLib(id, 1), 0u);
}

std::vector<std::string> KivTransferTest::Names(const std::vector<std::shared_ptr<KivVOApplication>>& apps) {
    std::vector<std::string> names;
    for (const auto& app : apps)
        names.push_back(app->Name());
    return names;
}

std::vector<std::string> KivTransferTest::Content(KivVOApplication& app) {
    std::vector<std::string> lines;
    for (const auto& item : app.ModuleList()) {
        auto& module = static_cast<KivVOModule&>(*item);
        for (const auto& entity : module.EntityList())
            lines.push_back(module.Name() + ":" + entity->Name() + "=" + entity->Source());
    }
    return lines;
}
