#pragma once

#include "engine/KivEngine.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// An engine for tests: it forwards every operation to a real engine, except the operations a test
// makes fail, which return the chosen status without reaching the real engine (their out values
// and buffers are left as the caller set them). It also counts the calls of each operation.
// Without a real engine every operation returns kNoEngine.
class KivFaultEngine : public KivEngine {
public:
    explicit KivFaultEngine(std::shared_ptr<KivEngine> inner = nullptr) : m_inner(std::move(inner)) {}

    // From now on the operation (by its name, "AppQueryName") fails with `status`, after `after`
    // more calls that go through. False for a name that is no operation.
    bool FailOn(std::string_view operation, uint32_t status, uint32_t after = 0);
    void Heal(std::string_view operation);
    void HealAll();

    // Calls of the operation, failed ones included, since construction or ResetCalls.
    uint32_t Calls(std::string_view operation) const;
    uint32_t TotalCalls() const;
    void ResetCalls();

    // The names of all operations, in the order KivEngine declares them.
    static const std::vector<std::string>& Operations();

    KivEngine* Inner() const { return m_inner.get(); }

    uint32_t AdamInit(uint32_t reserved, uint32_t* created) override;
    uint32_t AdamExit() override;
    uint32_t AdamGetVersion(char* buffer, size_t capacity) override;
    uint32_t AdamQueryCurrentPrjName(char* buffer, size_t capacity) override;
    uint32_t PrjCatCreateEnum(uint32_t reserved1, uint32_t reserved2, uint32_t* handle) override;
    uint32_t PrjGetFirst(uint32_t handle, char* buffer, size_t capacity) override;
    uint32_t PrjGetNext(uint32_t handle, char* buffer, size_t capacity) override;
    uint32_t PrjCatDestroyEnum(uint32_t handle) override;
    uint32_t PrjSelect(const char* name) override;
    uint32_t PrjCreate(const char* name, const char* directory, uint32_t reserved) override;
    uint32_t PrjDelete(const char* name, uint32_t reserved) override;
    uint32_t PrjRemove(const char* name, uint32_t reserved) override;
    uint32_t PrjQueryDir(const char* name, char* buffer, size_t capacity, uint32_t reserved) override;
    uint32_t PrjQueryDescription(const char* name, char* buffer, size_t capacity, uint32_t reserved) override;
    uint32_t PrjQueryKeywords(const char* name, char* buffer, size_t capacity, uint32_t reserved) override;
    uint32_t PrjSetKeywords(const char* name, const char* keywords, uint32_t reserved) override;
    uint32_t PrjQueryLock(const char* name, uint32_t* locked, uint32_t reserved) override;
    uint32_t AdamGetFirstApp(uint16_t* appId) override;
    uint32_t AdamGetNextApp(uint16_t* appId) override;
    uint32_t AppFind(const char* name, uint16_t* appId) override;
    uint32_t AppCreate(const char* name, uint16_t* appId) override;
    uint32_t AppDeleteAID(uint16_t appId) override;
    uint32_t AppQueryName(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppQueryExeName(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppQueryExpName(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppQueryGroupName(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppSetExeName(uint16_t appId, const char* text) override;
    uint32_t AppSetExpName(uint16_t appId, const char* text) override;
    uint32_t AppSetGroupName(uint16_t appId, const char* text) override;
    uint32_t AppSetDescription(uint16_t appId, const char* text) override;
    uint32_t AppQueryDescription(uint16_t appId, KivRecordHandle* record, uint32_t* length) override;
    uint32_t AppQueryDebug(uint16_t appId, uint32_t* debug) override;
    uint32_t AppSetDebug(uint16_t appId, uint32_t debug, uint32_t reserved) override;
    uint32_t AppQueryLib(uint16_t appId, uint32_t* isLibrary, uint32_t* isDll) override;
    uint32_t AppQuerySysLib(uint16_t appId, uint32_t* isSystemLibrary) override;
    uint32_t AppQueryCreateTime(uint16_t appId, uint32_t* time) override;
    uint32_t AppQueryTime(uint16_t appId, uint32_t* time) override;
    uint32_t AppQueryNumModules(uint16_t appId, uint32_t* count) override;
    uint32_t AppGetFirstModule(uint16_t appId, uint32_t* modId) override;
    uint32_t AppGetNextModule(uint32_t* modId) override;
    uint32_t AdamSecurePath(uint16_t appId) override;
    uint32_t AppSPathGetFirst(uint16_t appId, uint16_t* libId) override;
    uint32_t AppSPathGetNext(uint16_t* libId) override;
    uint32_t AppAddSPath(uint16_t appId, uint16_t libId) override;
    uint32_t AppDelSPath(uint16_t appId, uint16_t libId) override;
    uint32_t AppMoveSPath(uint16_t appId, uint16_t libId, uint32_t position) override;
    uint32_t AppUDCGetFirst(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppUDCGetNext(char* buffer, size_t capacity) override;
    uint32_t AppAddUDC(uint16_t appId, const char* name) override;
    uint32_t AppDelUDC(uint16_t appId, const char* name) override;
    uint32_t AppMoveUDC(uint16_t appId, const char* name, uint32_t position) override;
    uint32_t AppCHGetFirst(uint16_t appId, char* buffer, size_t capacity) override;
    uint32_t AppCHGetNext(char* buffer, size_t capacity) override;
    uint32_t AppAddCH(uint16_t appId, const char* name) override;
    uint32_t AppDelCH(uint16_t appId, const char* name) override;
    uint32_t AppMoveCH(uint16_t appId, const char* name, uint32_t position) override;
    uint32_t ModFind(uint16_t appId, const char* name, uint32_t* modId) override;
    uint32_t ModCreate(uint16_t appId, const char* name, uint32_t* modId) override;
    uint32_t ModDelete(uint32_t modId, uint32_t flag) override;
    uint32_t ModQueryName(uint32_t modId, char* buffer, size_t capacity) override;
    uint32_t ModQueryExtern(uint32_t modId, char* buffer, size_t capacity) override;
    uint32_t ModQueryExpName(uint32_t modId, char* buffer, size_t capacity) override;
    uint32_t ModSetExpName(uint32_t modId, const char* path) override;
    uint32_t ModSetExtern(uint32_t modId, const char* file, uint32_t* changed) override;
    uint32_t ModQueryDebug(uint32_t modId, uint32_t* debug) override;
    uint32_t ModSetDebug(uint32_t modId, uint16_t debug, uint32_t reserved) override;
    uint32_t ModQueryOEM(uint32_t modId, uint32_t* oem) override;
    uint32_t ModQueryAppearance(uint32_t modId, uint32_t* visible) override;
    uint32_t ModSetOEM(uint32_t modId, uint32_t oem) override;
    uint32_t ModQueryCreateTime(uint32_t modId, uint32_t* time) override;
    uint32_t ModQueryTime(uint32_t modId, uint32_t* time) override;
    uint32_t ModQueryNumEntities(uint32_t modId, uint32_t* count) override;
    uint32_t ModGetFirstEntity(uint32_t modId, uint32_t* entId) override;
    uint32_t ModGetNextEntity(uint32_t* entId) override;
    uint32_t EntFind(uint32_t modId, KivSymbol name, uint32_t type, uint32_t* entId) override;
    uint32_t EntQueryName(uint32_t entId, KivSymbol* name) override;
    uint32_t EntQueryNameText(uint32_t entId, char* buffer, size_t capacity) override;
    uint32_t EntQueryType(uint32_t entId, uint32_t* type) override;
    uint32_t EntQueryBlockType(uint32_t entId, uint32_t* blockType) override;
    uint32_t EntQueryAppearance(uint32_t entId, uint32_t* visible) override;
    uint32_t EntQueryModule(uint32_t entId, uint32_t* modId) override;
    uint32_t EntQueryCreateTime(uint32_t entId, uint32_t* time) override;
    uint32_t EntQueryTime(uint32_t entId, uint32_t* time) override;
    uint32_t EntQueryProt(uint32_t entId, char* buffer, size_t capacity) override;
    uint32_t EntQueryData(uint32_t entId, uint32_t kind, KivRecordHandle* record, uint32_t* length,
                          uint32_t* present, uint32_t* reserved) override;
    uint32_t RecGet(KivRecordHandle record, uint32_t length, std::string* bytes) override;
    uint32_t AdamExportApp(const char* file, uint16_t appId, uint32_t form, uint32_t* modules) override;
    uint32_t AdamExportMod(const char* file, uint32_t modId, uint32_t reserved, uint32_t* entities) override;
    uint32_t AdamImportApp(const char* file, const char* appName, uint32_t replace, uint32_t reserved,
                           uint32_t* appId, uint32_t* modules) override;
    uint32_t AdamImportMod(const char* file, const char* moduleName, uint16_t appId, uint32_t* entities,
                           uint32_t replace, uint32_t bind, uint32_t* modId) override;
    uint32_t PrjSetDescription(const char* name, const char* description) override;
    uint32_t PrjSetLock(const char* name, uint32_t locked) override;
    uint32_t AppSetLib(uint16_t appId, uint32_t isLibrary, uint32_t isDll) override;
    uint32_t AppSetSysLib(uint16_t appId, uint32_t isSystemLibrary) override;
    uint32_t ModSetAppearance(uint32_t modId, uint32_t visible) override;
    uint32_t EntSetAppearance(uint32_t entId, uint32_t visible) override;

private:
    struct Fault {
        bool active = false;
        uint32_t status = 0;
        uint32_t after = 0;
    };

    static size_t Index(std::string_view operation);
    uint32_t Enter(size_t operation);

    std::shared_ptr<KivEngine> m_inner;
    std::vector<Fault> m_faults = std::vector<Fault>(Operations().size());
    std::vector<uint32_t> m_calls = std::vector<uint32_t>(Operations().size());
};
