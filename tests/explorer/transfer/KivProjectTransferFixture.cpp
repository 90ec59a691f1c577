#include "KivProjectTransferFixture.h"

#include "support/KivRecordStream.h"

#include <cstdlib>
#include <sstream>

std::shared_ptr<KivVOApplication> KivProjectTransferTest::AddApp(KivVOProject& project,
                                                                 const KivTestApp& app) {
    KivAefTestWriter w = KivAefTestWriter::Aef();
    w.AppName(app.name);
    if (!app.exeName.empty())
        w.Text(0x000D, app.exeName);
    for (const std::string& library : app.libraries)
        w.Text(0x0004, library);
    for (const std::string& udc : app.udcs)
        w.Text(0x0005, udc);
    if (!app.description.empty())
        w.Text(0x000F, app.description);
    w.AppInfo(1300000000, 1200000000, app.library);
    for (const std::string& ch : app.chs)
        w.Text(0x0122, ch);
    for (const KivTestModule& module : app.modules) {
        w.Module(module.name, module.built, module.created);
        for (const KivTestEntity& entity : module.entities)
            w.Entity(entity);
    }
    const std::filesystem::path file = Scratch() / "made" / (app.name + ".aef");
    std::filesystem::create_directories(file.parent_path());
    WriteFile(file, w.End());
    EXPECT_TRUE(project.ImportApplication(app.name, file.string(), 1, 0)) << project.ErrorString();
    return project.ApplicationFind(app.name);
}

std::shared_ptr<KivVOProject> KivProjectTransferTest::MakeProject(const std::string& name) {
    auto project = Repo().ProjectCreate(name, ScratchDos("dirs\\" + name));
    EXPECT_TRUE(project) << Repo().ErrorString();
    if (project)
        project->Selected(true);
    return project;
}

std::shared_ptr<KivVOProject> KivProjectTransferTest::BuildShop() {
    auto project = MakeProject("Shop");
    KivTestEntity start{"START", 3, 17, "FUNCTION Start()", "FUNCTION Start()\r\n\tRETURN Caf\xe9()\r\n"};
    KivTestEntity report{"REPORT:PRINT", 3, 21, "METHOD Print() CLASS Report",
                         "METHOD Print() CLASS Report\r\n"};
    KivTestEntity limit{"MAX_LINES", 3, 27, "DEFINE MAX_LINES := 60", "DEFINE MAX_LINES := 60\r\n"};
    limit.created = 1010000000;
    limit.built = 1020000000;
    KivTestEntity help{"HELPER", 3, 17, "FUNCTION Helper()", "FUNCTION Helper()\r\n\t// \x80 \x81\r\n"};
    AddApp(*project, {"Win32", {}, true, "", "", {}, {}, {{"Api", {help}}}});
    AddApp(*project, {"Base", {"Win32"}, true, "", "Base classes", {}, {}, {{"Core", {help, limit}}}});
    AddApp(
        *project,
        {"Reports", {"Base", "Outside"}, true, "", "", {}, {}, {{"Print", {report}}, {"Layout", {limit}}}});
    AddApp(*project, {"Shop",
                      {"Reports", "Base"},
                      false,
                      "C:\\OUT\\SHOP.EXE",
                      "Caf\xe9 till",
                      {"STD.UDC"},
                      {"WIN.CH"},
                      {{"Main", {start}, 1030000000, 1040000000}, {"Empty", {}}}});
    auto tools = AddApp(*project, {"Tools", {}, false, "", "", {}, {}, {{"Main", {start}}}});
    tools->FullPath("D:\\Old\\Export\\TOOLS_V2.AEF");
    auto win32 = project->ApplicationFind("Win32");
    Store().AppSetSysLib(win32->ID(), 1);
    return project;
}

void KivProjectTransferTest::FreshRepository(const std::string& homeName) {
    m_fault->HealAll();
    m_session.reset();
    const std::filesystem::path home = Scratch() / homeName;
    std::filesystem::create_directories(home);
    setenv("KIV_HOME", home.c_str(), 1);
    m_store = std::make_shared<KivSqliteEngine>();
    m_fault = std::make_shared<KivFaultEngine>(m_store);
    m_session = std::make_unique<KivRepositorySession>(m_fault);
    ASSERT_TRUE(m_session->Success());
}

std::string KivProjectTransferTest::Dump(KivVOProject& project) {
    std::ostringstream out;
    std::vector<std::string> systemLibraries;
    for (const auto& app : project.ApplicationList())
        if (app->IsSystemLibrary())
            systemLibraries.push_back(app->Name());
    auto isSystem = [&](const std::string& name) {
        return std::find(systemLibraries.begin(), systemLibraries.end(), name) != systemLibraries.end();
    };
    for (const auto& app : project.ApplicationList()) {
        if (app->IsSystemLibrary())
            continue;
        out << "app " << app->Name() << " lib=" << app->IsLibrary() << " dll=" << app->IsDLL()
            << " exe=" << app->ExeName() << " exp=" << app->FullPath() << " group=" << app->GroupName()
            << " descr=" << app->Description() << " debug=" << app->Debug()
            << " created=" << app->CreateUnixTime() << " built=" << app->LastBuildUnixTime() << "\n  libs:";
        for (const std::string& library : app->LibraryNameList())
            if (!isSystem(library))
                out << ' ' << library;
        out << "\n  udc:";
        for (const std::string& udc : app->UDCNameList())
            out << ' ' << udc;
        out << "\n  ch:";
        for (const std::string& ch : app->CHNameList())
            out << ' ' << ch;
        out << '\n';
        for (const auto& item : app->ModuleList()) {
            auto& module = static_cast<KivVOModule&>(*item);
            out << "  module " << module.Name() << " exp=" << module.ExportName()
                << " ext=" << module.ExternalFile() << " created=" << module.CreateUnixTime()
                << " built=" << module.LastBuildUnixTime() << '\n';
            for (const auto& entity : Entities(module))
                out << "    entity " << entity->Name() << " type=" << entity->NumType()
                    << " block=" << entity->BlockTypeID() << " proto=" << entity->VOPrototype()
                    << " created=" << entity->CreateUnixTime() << " built=" << entity->LastBuildUnixTime()
                    << " data=" << entity->CustomData().size() << "\n      " << entity->Source() << '\n';
        }
    }
    return out.str();
}

std::vector<std::pair<uint16_t, std::string>> KivProjectTransferTest::Records(const std::string& bytes) {
    std::vector<std::pair<uint16_t, std::string>> records;
    KivRecordReader reader(bytes);
    KivRecord record;
    while (reader.Next(record))
        records.emplace_back(record.tag, std::string(record.data));
    EXPECT_EQ(reader.Damage(), KivRecordDamage::None);
    return records;
}
