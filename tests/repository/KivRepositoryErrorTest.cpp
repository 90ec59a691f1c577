#include "KivRepositoryFixture.h"

#include <functional>

namespace {

constexpr uint32_t kStatus = 0xE0001234;

// The objects an error case works on, made before the fault is set.
struct Objects {
    KivVORepository& repo;
    std::shared_ptr<KivVOProject> project;
    std::shared_ptr<KivVOApplication> app;
    std::shared_ptr<KivVOModule> module;
    std::shared_ptr<KivVOEntity> entity;
};

struct ErrorCase {
    const char* operation;
    const char* text;
    // Runs the failing operation, checks what it returns, and gives the object that reports it.
    std::function<const KivIDEBaseObject&(Objects&)> run;
};

std::ostream& operator<<(std::ostream& os, const ErrorCase& c) {
    return os << c.operation << " -> " << c.text;
}

const KivIDEBaseObject& Keep(std::shared_ptr<KivIDEBaseObject> object) {
    // The object outlives the check; tests are short and few.
    static std::vector<std::shared_ptr<KivIDEBaseObject>> kept;
    kept.push_back(object);
    return *object;
}

// clang-format off
const ErrorCase kCases[] = {
    // Repository
    {"AdamGetVersion", "Error AdamGetVersion", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.repo.Version(), ""); return o.repo; }},
    {"AdamQueryCurrentPrjName", "Error PrjSelect", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.repo.CurrentProjectName(), ""); return o.repo; }},
    {"PrjSelect", "Error PrjSelect", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.repo.CurrentProjectName("Default"), ""); return o.repo; }},
    {"PrjCatCreateEnum", "Error PrjCatCreateEnum", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.repo.Enumerator(), 0u); EXPECT_FALSE(o.repo.Enumerating()); return o.repo; }},
    {"PrjCatDestroyEnum", "Error PrjCatDestroyEnum", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.repo.ProjectNameList().size(), 1u); EXPECT_FALSE(o.repo.Enumerating()); return o.repo; }},
    {"PrjGetFirst", "Error PrjGetFirst", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.repo.ProjectList().empty()); EXPECT_TRUE(o.repo.Enumerating()); return o.repo; }},
    {"PrjGetNext", "Error PrjGetNext", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.repo.ProjectNameList(), std::vector<std::string>{"Default"});
        EXPECT_TRUE(o.repo.ProjectList().empty()); return o.repo; }},
    {"PrjCreate", "Error PrjCreate", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.repo.ProjectCreate("New", "C:\\NEW")); return o.repo; }},
    {"PrjDelete", "Error PrjDelete", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.repo.ProjectNameDelete("Default")); return o.repo; }},
    {"PrjRemove", "Error PrjRemove", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.repo.ProjectNameRemove("Default")); return o.repo; }},
    // Project
    {"PrjQueryDir", "Error PrjQueryDir", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.project->Dir(), ""); return *o.project; }},
    {"PrjQueryDescription", "Error PrjQueryDescription", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.project->Description(), ""); return *o.project; }},
    {"PrjQueryKeywords", "Error PrjQueryKeywords", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.project->Keywords(), ""); return *o.project; }},
    {"PrjSetKeywords", "Error PrjQueryKeywords", [](Objects& o) -> const KivIDEBaseObject& {
        o.project->Keywords("k"); return *o.project; }},
    {"PrjQueryLock", "Error PrjQueryLock", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.project->Locked()); return *o.project; }},
    {"AdamQueryCurrentPrjName", "Error PrjSelect", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.project->Selected()); return *o.project; }},
    {"PrjSelect", "Error PrjSelect", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.project->Selected(true)); return *o.project; }},
    {"AdamGetFirstApp", "Error AdamGetFirstApp", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.project->ApplicationList().empty()); return *o.project; }},
    {"AdamGetNextApp", "Error AdamGetNextApp", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.project->ApplicationList().size(), 1u) << "what was gathered";
        EXPECT_EQ(o.project->ApplicationNameList(), std::vector<std::string>{"Base"}); return *o.project; }},
    {"AppFind", "Error AppFind", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.project->ApplicationFind("Shop")); return *o.project; }},
    {"AppCreate", "Error AppCreate", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.project->ApplicationCreate("New")); return *o.project; }},
    {"AppDeleteAID", "Error AppDeleteAID", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.project->ApplicationDelete(o.app)); return *o.project; }},
    {"AdamImportApp", "Error AdamImportApp", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.project->ImportApplication("X", "C:\\X.AEF", 1, 0)); return *o.project; }},
    // Application
    {"AppQueryName", "Error AppQueryName", [](Objects& o) -> const KivIDEBaseObject& {
        auto app = std::make_shared<KivVOApplication>(o.project, o.app->ID());
        EXPECT_FALSE(app->IsValid()); return Keep(app); }},
    {"AppQueryExeName", "Error AppQueryExeName", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->ExeName(), ""); return *o.app; }},
    {"AppSetExeName", "Error AppSetExeName", [](Objects& o) -> const KivIDEBaseObject& {
        o.app->ExeName("X.EXE"); return *o.app; }},
    {"AppQueryGroupName", "Error AppQueryGroupName", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->GroupName(), ""); return *o.app; }},
    {"AppSetGroupName", "Error AppSetGroupName", [](Objects& o) -> const KivIDEBaseObject& {
        o.app->GroupName("G"); return *o.app; }},
    {"AppQueryExpName", "Error AppQueryExpName", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->FullPath(), ""); return *o.app; }},
    {"AppSetExpName", "Error AppSetExpName", [](Objects& o) -> const KivIDEBaseObject& {
        o.app->FullPath("C:\\X.AEF"); return *o.app; }},
    {"AppQueryDescription", "Error AppQueryDescription", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->Description(), ""); return *o.app; }},
    {"RecGet", "Error RecGet", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->Description(), ""); return *o.app; }},
    {"AppSetDescription", "Error AppSetDescription", [](Objects& o) -> const KivIDEBaseObject& {
        o.app->Description("D"); return *o.app; }},
    {"AppQueryDebug", "Error AppQueryDebug", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->Debug()); return *o.app; }},
    {"AppSetDebug", "Error AppSetDebug", [](Objects& o) -> const KivIDEBaseObject& {
        o.app->Debug(true); return *o.app; }},
    {"AppQueryLib", "Error AppQueryLib", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->IsDLL()); return *o.app; }},
    {"AppQuerySysLib", "Error AppQuerySysLib", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->IsSystemLibrary()); return *o.app; }},
    {"AppQueryNumModules", "Error AppQueryNumModules", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->ModuleCount(), 0u); return *o.app; }},
    {"AppQueryCreateTime", "Error AppQueryCreateTime", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.app->CreateDate().IsNull()); EXPECT_EQ(o.app->CreateTime(), ""); return *o.app; }},
    {"AppQueryTime", "Error AppQueryTime", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.app->LastBuildDate().IsNull()); EXPECT_EQ(o.app->LastBuildTime(), ""); return *o.app; }},
    {"AppGetFirstModule", "Error AppGetFirstModule", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.app->ModuleList().empty()); return *o.app; }},
    {"AppGetFirstModule", "Error AdamGetFirstApp", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.app->ModuleNameList().empty()); return *o.app; }},
    {"AppGetNextModule", "Error AppGetNextModule", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->ModuleNameList(), std::vector<std::string>{"Main"}); return *o.app; }},
    {"ModQueryName", "Error ModQueryName", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.app->ModuleNameList().empty()); return *o.app; }},
    {"ModFind", "Error ModFind", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->ModuleFind("Main")); return *o.app; }},
    {"ModCreate", "Error ModCreate", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->ModuleCreate("New")); return *o.app; }},
    {"ModDelete", "Error ModDelete", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->ModuleNameDelete("Main")); return *o.app; }},
    {"AdamExportApp", "Error AdamExportApp", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->ExportToAEF("C:\\X.AEF")); return *o.app; }},
    {"AdamSecurePath", "Error AdamSecurePath", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->Flush()); return *o.app; }},
    {"AdamImportMod", "Error AdamImportMod", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.app->ImportModule("C:\\X.PRG", "X", 0, 0)); return *o.app; }},
    {"AppSPathGetFirst", "Error AppSPathGetFirst", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.app->LibraryList().empty()); return *o.app; }},
    {"AppSPathGetNext", "Error AppSPathGetNext", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->LibraryNameList(), std::vector<std::string>{"Base"}); return *o.app; }},
    {"AppUDCGetFirst", "Error AppUDCGetFirst", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.app->UDCNameList().empty()); return *o.app; }},
    {"AppUDCGetNext", "Error AppUDCGetNext", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->UDCNameList(), std::vector<std::string>{"STD.UDC"}); return *o.app; }},
    {"AppCHGetFirst", "Error AppCHGetFirst", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.app->CHNameList().empty()); return *o.app; }},
    {"AppCHGetNext", "Error AppCHGetNext", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.app->CHNameList(), std::vector<std::string>{"WIN.CH"}); return *o.app; }},
    // Module
    {"ModQueryName", "Error ModQueryName", [](Objects& o) -> const KivIDEBaseObject& {
        auto module = std::make_shared<KivVOModule>(o.app, o.module->ID());
        EXPECT_EQ(module->Name(), ""); return Keep(module); }},
    {"ModQueryExpName", "Error ModQueryExpName", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.module->ExportName(), ""); return *o.module; }},
    {"ModSetExpName", "Error ModSetExpName", [](Objects& o) -> const KivIDEBaseObject& {
        o.module->FullPath("C:\\X.MEF"); return *o.module; }},
    {"ModQueryExtern", "Error ModQueryExtern", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.module->IsExternal()); return *o.module; }},
    {"ModSetExtern", "Error ModSetExtern", [](Objects& o) -> const KivIDEBaseObject& {
        o.module->ExternalFile(""); EXPECT_EQ(o.module->Changed(), 0u); return *o.module; }},
    {"ModQueryDebug", "Error ModQueryDebug", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.module->DebugStatus(), 0u); return *o.module; }},
    {"ModSetDebug", "Error ModSetDebug", [](Objects& o) -> const KivIDEBaseObject& {
        o.module->DebugStatus(1); return *o.module; }},
    {"ModQueryOEM", "Error ModQueryOEM", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.module->OEM()); return *o.module; }},
    {"ModSetOEM", "Error ModSetOEM", [](Objects& o) -> const KivIDEBaseObject& {
        o.module->OEM(true); return *o.module; }},
    {"ModQueryAppearance", "Error ModQueryAppearance", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.module->IsVisible()); return *o.module; }},
    {"ModQueryNumEntities", "Error ModQueryNumEntities", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.module->EntityCount(), 0u); return *o.module; }},
    {"ModQueryCreateTime", "Error ModQueryCreateTime", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.module->CreateDate().IsNull()); EXPECT_EQ(o.module->CreateTime(), ""); return *o.module; }},
    {"ModQueryTime", "Error ModQueryTime", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.module->LastBuildDate().IsNull()); EXPECT_EQ(o.module->LastBuildTime(), "");
        return *o.module; }},
    {"ModGetFirstEntity", "Error ModGetFirstEntity", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.module->EntityList().empty()); return *o.module; }},
    {"ModGetNextEntity", "Error ModGetNextEntity", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.module->EntityNameList(), std::vector<std::string>{"START"}); return *o.module; }},
    {"EntQueryName", "Error EntQueryName", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.module->EntityNameList().empty()); return *o.module; }},
    {"EntFind", "Error EntFind", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.module->EntityFind("START")); return *o.module; }},
    // Entity
    {"EntQueryName", "Error EntQueryName", [](Objects& o) -> const KivIDEBaseObject& {
        auto entity = std::make_shared<KivVOEntity>(o.module, o.entity->ID());
        EXPECT_EQ(entity->Name(), ""); return Keep(entity); }},
    {"EntQueryModule", "Error EntQueryModule", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.entity->OwnerID(), 0u); return *o.entity; }},
    {"EntQueryType", "Error EntQueryType", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.entity->NumType(), 0u); return *o.entity; }},
    {"EntQueryBlockType", "Error EntQueryBlockType", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.entity->BlockType().IsNull()); return *o.entity; }},
    {"EntQueryAppearance", "Error EntQueryAppearance", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_FALSE(o.entity->IsVisible()); return *o.entity; }},
    {"EntQueryProt", "Error EntQueryProt", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.entity->VOPrototype(), ""); return *o.entity; }},
    {"EntQueryData", "Error EntQueryData", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.entity->Source(), ""); return *o.entity; }},
    {"RecGet", "Error RecGet", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_EQ(o.entity->CustomData(), ""); return *o.entity; }},
    {"EntQueryCreateTime", "Error EntQueryCreateTime", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.entity->CreateDate().IsNull()); EXPECT_EQ(o.entity->CreateTime(), ""); return *o.entity; }},
    {"EntQueryTime", "Error EntQueryTime", [](Objects& o) -> const KivIDEBaseObject& {
        EXPECT_TRUE(o.entity->LastBuildDate().IsNull()); EXPECT_EQ(o.entity->LastBuildTime(), "");
        return *o.entity; }},
};
// clang-format on

} // namespace

// Every failing engine operation sets its object's status and the fixed text, and the result is
// the empty, null or false value.
class KivRepositoryErrorTest : public KivRepositoryTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(KivRepositoryErrorTest, FailingOperationSetsItsText) {
    const ErrorCase& c = GetParam();
    auto project = std::make_shared<KivVOProject>();
    ASSERT_TRUE(project->ApplicationCreate("Base"));
    KivTestEntity start{"START", 3, 17, "FUNCTION Start()", "FUNCTION Start()\r\nRETURN 1\r\n"};
    start.extra = {{0x0042, "custom"}};
    auto app = Import("Shop", {{"Main", {start}}});
    ASSERT_TRUE(app);
    app->Description("About the shop");
    app->LibraryNameList({"Base"});
    app->UDCNameList({"STD.UDC"});
    app->CHNameList({"WIN.CH"});
    auto module = app->FirstModule();
    ASSERT_TRUE(module);
    auto entity = module->FirstEntity();
    ASSERT_TRUE(entity);
    Objects objects{Repo(), project, app, module, entity};

    ASSERT_TRUE(Fault().FailOn(c.operation, kStatus));
    const KivIDEBaseObject& reporter = c.run(objects);
    Fault().HealAll();
    EXPECT_GT(Fault().Calls(c.operation), 0u);
    EXPECT_FALSE(reporter.Success());
    EXPECT_EQ(reporter.ErrorCode(), kStatus);
    EXPECT_EQ(reporter.ErrorString(), c.text);
}

INSTANTIATE_TEST_SUITE_P(Operations, KivRepositoryErrorTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ErrorCase>& param) {
                             return std::to_string(param.index) + "_" + param.param.operation;
                         });

// The error text stays after a later success; the code follows every call.
TEST_F(KivRepositoryTest, ErrorTextOutlivesLaterSuccess) {
    KivVOProject project;
    Fault().FailOn("PrjQueryDir", kStatus);
    project.Dir();
    Fault().HealAll();
    EXPECT_EQ(project.Dir(), KivSqliteEngine::kDefaultProjectDir);
    EXPECT_TRUE(project.Success());
    EXPECT_EQ(project.ErrorString(), "Error PrjQueryDir");
}

// A module's export reports only the status: the call has no text of its own.
TEST_F(KivRepositoryTest, ModuleExportFailureKeepsThePreviousText) {
    auto app = Import("Shop", {{"Main", {}}});
    auto module = app->FirstModule();
    Fault().FailOn("AdamExportMod", kStatus);
    EXPECT_FALSE(module->ExportModule(ScratchDos("m.mef")));
    EXPECT_EQ(module->ErrorCode(), kStatus);
    EXPECT_EQ(module->ErrorString(), "");
}
