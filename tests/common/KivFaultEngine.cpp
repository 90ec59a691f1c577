#include "common/KivFaultEngine.h"

#include "engine/KivEngineStatus.h"

#include <numeric>

const std::vector<std::string>& KivFaultEngine::Operations() {
    static const std::vector<std::string> kOperations{
        "AdamInit",
        "AdamExit",
        "AdamGetVersion",
        "AdamQueryCurrentPrjName",
        "PrjCatCreateEnum",
        "PrjGetFirst",
        "PrjGetNext",
        "PrjCatDestroyEnum",
        "PrjSelect",
        "PrjCreate",
        "PrjDelete",
        "PrjRemove",
        "PrjQueryDir",
        "PrjQueryDescription",
        "PrjQueryKeywords",
        "PrjSetKeywords",
        "PrjQueryLock",
        "AdamGetFirstApp",
        "AdamGetNextApp",
        "AppFind",
        "AppCreate",
        "AppDeleteAID",
        "AppQueryName",
        "AppQueryExeName",
        "AppQueryExpName",
        "AppQueryGroupName",
        "AppSetExeName",
        "AppSetExpName",
        "AppSetGroupName",
        "AppSetDescription",
        "AppQueryDescription",
        "AppQueryDebug",
        "AppSetDebug",
        "AppQueryLib",
        "AppQuerySysLib",
        "AppQueryCreateTime",
        "AppQueryTime",
        "AppQueryNumModules",
        "AppGetFirstModule",
        "AppGetNextModule",
        "AdamSecurePath",
        "AppSPathGetFirst",
        "AppSPathGetNext",
        "AppAddSPath",
        "AppDelSPath",
        "AppMoveSPath",
        "AppUDCGetFirst",
        "AppUDCGetNext",
        "AppAddUDC",
        "AppDelUDC",
        "AppMoveUDC",
        "AppCHGetFirst",
        "AppCHGetNext",
        "AppAddCH",
        "AppDelCH",
        "AppMoveCH",
        "ModFind",
        "ModCreate",
        "ModDelete",
        "ModQueryName",
        "ModQueryExtern",
        "ModQueryExpName",
        "ModSetExpName",
        "ModSetExtern",
        "ModQueryDebug",
        "ModSetDebug",
        "ModQueryOEM",
        "ModQueryAppearance",
        "ModSetOEM",
        "ModQueryCreateTime",
        "ModQueryTime",
        "ModQueryNumEntities",
        "ModGetFirstEntity",
        "ModGetNextEntity",
        "EntFind",
        "EntQueryName",
        "EntQueryType",
        "EntQueryBlockType",
        "EntQueryAppearance",
        "EntQueryModule",
        "EntQueryCreateTime",
        "EntQueryTime",
        "EntQueryProt",
        "EntQueryData",
        "RecGet",
        "AdamExportApp",
        "AdamExportMod",
        "AdamImportApp",
        "AdamImportMod",
        "PrjSetDescription",
        "PrjSetLock",
        "AppSetLib",
        "AppSetSysLib",
        "ModSetAppearance",
        "EntSetAppearance",
    };
    return kOperations;
}

size_t KivFaultEngine::Index(std::string_view operation) {
    const std::vector<std::string>& ops = Operations();
    for (size_t i = 0; i < ops.size(); ++i)
        if (ops[i] == operation)
            return i;
    return ops.size();
}

bool KivFaultEngine::FailOn(std::string_view operation, uint32_t status, uint32_t after) {
    size_t i = Index(operation);
    if (i >= m_faults.size())
        return false;
    m_faults[i] = Fault{true, status, after};
    return true;
}

void KivFaultEngine::Heal(std::string_view operation) {
    size_t i = Index(operation);
    if (i < m_faults.size())
        m_faults[i] = Fault();
}

void KivFaultEngine::HealAll() {
    m_faults.assign(m_faults.size(), Fault());
}

uint32_t KivFaultEngine::Calls(std::string_view operation) const {
    size_t i = Index(operation);
    return i < m_calls.size() ? m_calls[i] : 0;
}

uint32_t KivFaultEngine::TotalCalls() const {
    return std::accumulate(m_calls.begin(), m_calls.end(), 0u);
}

void KivFaultEngine::ResetCalls() {
    m_calls.assign(m_calls.size(), 0);
}

uint32_t KivFaultEngine::Enter(size_t operation) {
    ++m_calls[operation];
    Fault& fault = m_faults[operation];
    if (fault.active) {
        if (fault.after == 0)
            return fault.status;
        --fault.after;
    }
    return m_inner ? kiv::engine::kOk : kiv::engine::kNoEngine;
}

uint32_t KivFaultEngine::AdamInit(uint32_t reserved, uint32_t* created) {
    if (uint32_t status = Enter(0))
        return status;
    return m_inner->AdamInit(reserved, created);
}

uint32_t KivFaultEngine::AdamExit() {
    if (uint32_t status = Enter(1))
        return status;
    return m_inner->AdamExit();
}

uint32_t KivFaultEngine::AdamGetVersion(char* buffer, size_t capacity) {
    if (uint32_t status = Enter(2))
        return status;
    return m_inner->AdamGetVersion(buffer, capacity);
}

uint32_t KivFaultEngine::AdamQueryCurrentPrjName(char* buffer, size_t capacity) {
    if (uint32_t status = Enter(3))
        return status;
    return m_inner->AdamQueryCurrentPrjName(buffer, capacity);
}

uint32_t KivFaultEngine::PrjCatCreateEnum(uint32_t reserved1, uint32_t reserved2, uint32_t* handle) {
    if (uint32_t status = Enter(4))
        return status;
    return m_inner->PrjCatCreateEnum(reserved1, reserved2, handle);
}

uint32_t KivFaultEngine::PrjGetFirst(uint32_t handle, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(5))
        return status;
    return m_inner->PrjGetFirst(handle, buffer, capacity);
}

uint32_t KivFaultEngine::PrjGetNext(uint32_t handle, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(6))
        return status;
    return m_inner->PrjGetNext(handle, buffer, capacity);
}

uint32_t KivFaultEngine::PrjCatDestroyEnum(uint32_t handle) {
    if (uint32_t status = Enter(7))
        return status;
    return m_inner->PrjCatDestroyEnum(handle);
}

uint32_t KivFaultEngine::PrjSelect(const char* name) {
    if (uint32_t status = Enter(8))
        return status;
    return m_inner->PrjSelect(name);
}

uint32_t KivFaultEngine::PrjCreate(const char* name, const char* directory, uint32_t reserved) {
    if (uint32_t status = Enter(9))
        return status;
    return m_inner->PrjCreate(name, directory, reserved);
}

uint32_t KivFaultEngine::PrjDelete(const char* name, uint32_t reserved) {
    if (uint32_t status = Enter(10))
        return status;
    return m_inner->PrjDelete(name, reserved);
}

uint32_t KivFaultEngine::PrjRemove(const char* name, uint32_t reserved) {
    if (uint32_t status = Enter(11))
        return status;
    return m_inner->PrjRemove(name, reserved);
}

uint32_t KivFaultEngine::PrjQueryDir(const char* name, char* buffer, size_t capacity, uint32_t reserved) {
    if (uint32_t status = Enter(12))
        return status;
    return m_inner->PrjQueryDir(name, buffer, capacity, reserved);
}

uint32_t KivFaultEngine::PrjQueryDescription(const char* name, char* buffer, size_t capacity,
                                             uint32_t reserved) {
    if (uint32_t status = Enter(13))
        return status;
    return m_inner->PrjQueryDescription(name, buffer, capacity, reserved);
}

uint32_t KivFaultEngine::PrjQueryKeywords(const char* name, char* buffer, size_t capacity,
                                          uint32_t reserved) {
    if (uint32_t status = Enter(14))
        return status;
    return m_inner->PrjQueryKeywords(name, buffer, capacity, reserved);
}

uint32_t KivFaultEngine::PrjSetKeywords(const char* name, const char* keywords, uint32_t reserved) {
    if (uint32_t status = Enter(15))
        return status;
    return m_inner->PrjSetKeywords(name, keywords, reserved);
}

uint32_t KivFaultEngine::PrjQueryLock(const char* name, uint32_t* locked, uint32_t reserved) {
    if (uint32_t status = Enter(16))
        return status;
    return m_inner->PrjQueryLock(name, locked, reserved);
}

uint32_t KivFaultEngine::AdamGetFirstApp(uint16_t* appId) {
    if (uint32_t status = Enter(17))
        return status;
    return m_inner->AdamGetFirstApp(appId);
}

uint32_t KivFaultEngine::AdamGetNextApp(uint16_t* appId) {
    if (uint32_t status = Enter(18))
        return status;
    return m_inner->AdamGetNextApp(appId);
}

uint32_t KivFaultEngine::AppFind(const char* name, uint16_t* appId) {
    if (uint32_t status = Enter(19))
        return status;
    return m_inner->AppFind(name, appId);
}

uint32_t KivFaultEngine::AppCreate(const char* name, uint16_t* appId) {
    if (uint32_t status = Enter(20))
        return status;
    return m_inner->AppCreate(name, appId);
}

uint32_t KivFaultEngine::AppDeleteAID(uint16_t appId) {
    if (uint32_t status = Enter(21))
        return status;
    return m_inner->AppDeleteAID(appId);
}

uint32_t KivFaultEngine::AppQueryName(uint16_t appId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(22))
        return status;
    return m_inner->AppQueryName(appId, buffer, capacity);
}

uint32_t KivFaultEngine::AppQueryExeName(uint16_t appId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(23))
        return status;
    return m_inner->AppQueryExeName(appId, buffer, capacity);
}

uint32_t KivFaultEngine::AppQueryExpName(uint16_t appId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(24))
        return status;
    return m_inner->AppQueryExpName(appId, buffer, capacity);
}

uint32_t KivFaultEngine::AppQueryGroupName(uint16_t appId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(25))
        return status;
    return m_inner->AppQueryGroupName(appId, buffer, capacity);
}

uint32_t KivFaultEngine::AppSetExeName(uint16_t appId, const char* text) {
    if (uint32_t status = Enter(26))
        return status;
    return m_inner->AppSetExeName(appId, text);
}

uint32_t KivFaultEngine::AppSetExpName(uint16_t appId, const char* text) {
    if (uint32_t status = Enter(27))
        return status;
    return m_inner->AppSetExpName(appId, text);
}

uint32_t KivFaultEngine::AppSetGroupName(uint16_t appId, const char* text) {
    if (uint32_t status = Enter(28))
        return status;
    return m_inner->AppSetGroupName(appId, text);
}

uint32_t KivFaultEngine::AppSetDescription(uint16_t appId, const char* text) {
    if (uint32_t status = Enter(29))
        return status;
    return m_inner->AppSetDescription(appId, text);
}

uint32_t KivFaultEngine::AppQueryDescription(uint16_t appId, KivRecordHandle* record, uint32_t* length) {
    if (uint32_t status = Enter(30))
        return status;
    return m_inner->AppQueryDescription(appId, record, length);
}

uint32_t KivFaultEngine::AppQueryDebug(uint16_t appId, uint32_t* debug) {
    if (uint32_t status = Enter(31))
        return status;
    return m_inner->AppQueryDebug(appId, debug);
}

uint32_t KivFaultEngine::AppSetDebug(uint16_t appId, uint32_t debug, uint32_t reserved) {
    if (uint32_t status = Enter(32))
        return status;
    return m_inner->AppSetDebug(appId, debug, reserved);
}

uint32_t KivFaultEngine::AppQueryLib(uint16_t appId, uint32_t* isLibrary, uint32_t* isDll) {
    if (uint32_t status = Enter(33))
        return status;
    return m_inner->AppQueryLib(appId, isLibrary, isDll);
}

uint32_t KivFaultEngine::AppQuerySysLib(uint16_t appId, uint32_t* isSystemLibrary) {
    if (uint32_t status = Enter(34))
        return status;
    return m_inner->AppQuerySysLib(appId, isSystemLibrary);
}

uint32_t KivFaultEngine::AppQueryCreateTime(uint16_t appId, uint32_t* time) {
    if (uint32_t status = Enter(35))
        return status;
    return m_inner->AppQueryCreateTime(appId, time);
}

uint32_t KivFaultEngine::AppQueryTime(uint16_t appId, uint32_t* time) {
    if (uint32_t status = Enter(36))
        return status;
    return m_inner->AppQueryTime(appId, time);
}

uint32_t KivFaultEngine::AppQueryNumModules(uint16_t appId, uint32_t* count) {
    if (uint32_t status = Enter(37))
        return status;
    return m_inner->AppQueryNumModules(appId, count);
}

uint32_t KivFaultEngine::AppGetFirstModule(uint16_t appId, uint32_t* modId) {
    if (uint32_t status = Enter(38))
        return status;
    return m_inner->AppGetFirstModule(appId, modId);
}

uint32_t KivFaultEngine::AppGetNextModule(uint32_t* modId) {
    if (uint32_t status = Enter(39))
        return status;
    return m_inner->AppGetNextModule(modId);
}

uint32_t KivFaultEngine::AdamSecurePath(uint16_t appId) {
    if (uint32_t status = Enter(40))
        return status;
    return m_inner->AdamSecurePath(appId);
}

uint32_t KivFaultEngine::AppSPathGetFirst(uint16_t appId, uint16_t* libId) {
    if (uint32_t status = Enter(41))
        return status;
    return m_inner->AppSPathGetFirst(appId, libId);
}

uint32_t KivFaultEngine::AppSPathGetNext(uint16_t* libId) {
    if (uint32_t status = Enter(42))
        return status;
    return m_inner->AppSPathGetNext(libId);
}

uint32_t KivFaultEngine::AppAddSPath(uint16_t appId, uint16_t libId) {
    if (uint32_t status = Enter(43))
        return status;
    return m_inner->AppAddSPath(appId, libId);
}

uint32_t KivFaultEngine::AppDelSPath(uint16_t appId, uint16_t libId) {
    if (uint32_t status = Enter(44))
        return status;
    return m_inner->AppDelSPath(appId, libId);
}

uint32_t KivFaultEngine::AppMoveSPath(uint16_t appId, uint16_t libId, uint32_t position) {
    if (uint32_t status = Enter(45))
        return status;
    return m_inner->AppMoveSPath(appId, libId, position);
}

uint32_t KivFaultEngine::AppUDCGetFirst(uint16_t appId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(46))
        return status;
    return m_inner->AppUDCGetFirst(appId, buffer, capacity);
}

uint32_t KivFaultEngine::AppUDCGetNext(char* buffer, size_t capacity) {
    if (uint32_t status = Enter(47))
        return status;
    return m_inner->AppUDCGetNext(buffer, capacity);
}

uint32_t KivFaultEngine::AppAddUDC(uint16_t appId, const char* name) {
    if (uint32_t status = Enter(48))
        return status;
    return m_inner->AppAddUDC(appId, name);
}

uint32_t KivFaultEngine::AppDelUDC(uint16_t appId, const char* name) {
    if (uint32_t status = Enter(49))
        return status;
    return m_inner->AppDelUDC(appId, name);
}

uint32_t KivFaultEngine::AppMoveUDC(uint16_t appId, const char* name, uint32_t position) {
    if (uint32_t status = Enter(50))
        return status;
    return m_inner->AppMoveUDC(appId, name, position);
}

uint32_t KivFaultEngine::AppCHGetFirst(uint16_t appId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(51))
        return status;
    return m_inner->AppCHGetFirst(appId, buffer, capacity);
}

uint32_t KivFaultEngine::AppCHGetNext(char* buffer, size_t capacity) {
    if (uint32_t status = Enter(52))
        return status;
    return m_inner->AppCHGetNext(buffer, capacity);
}

uint32_t KivFaultEngine::AppAddCH(uint16_t appId, const char* name) {
    if (uint32_t status = Enter(53))
        return status;
    return m_inner->AppAddCH(appId, name);
}

uint32_t KivFaultEngine::AppDelCH(uint16_t appId, const char* name) {
    if (uint32_t status = Enter(54))
        return status;
    return m_inner->AppDelCH(appId, name);
}

uint32_t KivFaultEngine::AppMoveCH(uint16_t appId, const char* name, uint32_t position) {
    if (uint32_t status = Enter(55))
        return status;
    return m_inner->AppMoveCH(appId, name, position);
}

uint32_t KivFaultEngine::ModFind(uint16_t appId, const char* name, uint32_t* modId) {
    if (uint32_t status = Enter(56))
        return status;
    return m_inner->ModFind(appId, name, modId);
}

uint32_t KivFaultEngine::ModCreate(uint16_t appId, const char* name, uint32_t* modId) {
    if (uint32_t status = Enter(57))
        return status;
    return m_inner->ModCreate(appId, name, modId);
}

uint32_t KivFaultEngine::ModDelete(uint32_t modId, uint32_t flag) {
    if (uint32_t status = Enter(58))
        return status;
    return m_inner->ModDelete(modId, flag);
}

uint32_t KivFaultEngine::ModQueryName(uint32_t modId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(59))
        return status;
    return m_inner->ModQueryName(modId, buffer, capacity);
}

uint32_t KivFaultEngine::ModQueryExtern(uint32_t modId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(60))
        return status;
    return m_inner->ModQueryExtern(modId, buffer, capacity);
}

uint32_t KivFaultEngine::ModQueryExpName(uint32_t modId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(61))
        return status;
    return m_inner->ModQueryExpName(modId, buffer, capacity);
}

uint32_t KivFaultEngine::ModSetExpName(uint32_t modId, const char* path) {
    if (uint32_t status = Enter(62))
        return status;
    return m_inner->ModSetExpName(modId, path);
}

uint32_t KivFaultEngine::ModSetExtern(uint32_t modId, const char* file, uint32_t* changed) {
    if (uint32_t status = Enter(63))
        return status;
    return m_inner->ModSetExtern(modId, file, changed);
}

uint32_t KivFaultEngine::ModQueryDebug(uint32_t modId, uint32_t* debug) {
    if (uint32_t status = Enter(64))
        return status;
    return m_inner->ModQueryDebug(modId, debug);
}

uint32_t KivFaultEngine::ModSetDebug(uint32_t modId, uint16_t debug, uint32_t reserved) {
    if (uint32_t status = Enter(65))
        return status;
    return m_inner->ModSetDebug(modId, debug, reserved);
}

uint32_t KivFaultEngine::ModQueryOEM(uint32_t modId, uint32_t* oem) {
    if (uint32_t status = Enter(66))
        return status;
    return m_inner->ModQueryOEM(modId, oem);
}

uint32_t KivFaultEngine::ModQueryAppearance(uint32_t modId, uint32_t* visible) {
    if (uint32_t status = Enter(67))
        return status;
    return m_inner->ModQueryAppearance(modId, visible);
}

uint32_t KivFaultEngine::ModSetOEM(uint32_t modId, uint32_t oem) {
    if (uint32_t status = Enter(68))
        return status;
    return m_inner->ModSetOEM(modId, oem);
}

uint32_t KivFaultEngine::ModQueryCreateTime(uint32_t modId, uint32_t* time) {
    if (uint32_t status = Enter(69))
        return status;
    return m_inner->ModQueryCreateTime(modId, time);
}

uint32_t KivFaultEngine::ModQueryTime(uint32_t modId, uint32_t* time) {
    if (uint32_t status = Enter(70))
        return status;
    return m_inner->ModQueryTime(modId, time);
}

uint32_t KivFaultEngine::ModQueryNumEntities(uint32_t modId, uint32_t* count) {
    if (uint32_t status = Enter(71))
        return status;
    return m_inner->ModQueryNumEntities(modId, count);
}

uint32_t KivFaultEngine::ModGetFirstEntity(uint32_t modId, uint32_t* entId) {
    if (uint32_t status = Enter(72))
        return status;
    return m_inner->ModGetFirstEntity(modId, entId);
}

uint32_t KivFaultEngine::ModGetNextEntity(uint32_t* entId) {
    if (uint32_t status = Enter(73))
        return status;
    return m_inner->ModGetNextEntity(entId);
}

uint32_t KivFaultEngine::EntFind(uint32_t modId, KivSymbol name, uint32_t type, uint32_t* entId) {
    if (uint32_t status = Enter(74))
        return status;
    return m_inner->EntFind(modId, name, type, entId);
}

uint32_t KivFaultEngine::EntQueryName(uint32_t entId, KivSymbol* name) {
    if (uint32_t status = Enter(75))
        return status;
    return m_inner->EntQueryName(entId, name);
}

// The same query as EntQueryName, and the same fault.
uint32_t KivFaultEngine::EntQueryNameText(uint32_t entId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(75))
        return status;
    return m_inner->EntQueryNameText(entId, buffer, capacity);
}

uint32_t KivFaultEngine::EntQueryType(uint32_t entId, uint32_t* type) {
    if (uint32_t status = Enter(76))
        return status;
    return m_inner->EntQueryType(entId, type);
}

uint32_t KivFaultEngine::EntQueryBlockType(uint32_t entId, uint32_t* blockType) {
    if (uint32_t status = Enter(77))
        return status;
    return m_inner->EntQueryBlockType(entId, blockType);
}

uint32_t KivFaultEngine::EntQueryAppearance(uint32_t entId, uint32_t* visible) {
    if (uint32_t status = Enter(78))
        return status;
    return m_inner->EntQueryAppearance(entId, visible);
}

uint32_t KivFaultEngine::EntQueryModule(uint32_t entId, uint32_t* modId) {
    if (uint32_t status = Enter(79))
        return status;
    return m_inner->EntQueryModule(entId, modId);
}

uint32_t KivFaultEngine::EntQueryCreateTime(uint32_t entId, uint32_t* time) {
    if (uint32_t status = Enter(80))
        return status;
    return m_inner->EntQueryCreateTime(entId, time);
}

uint32_t KivFaultEngine::EntQueryTime(uint32_t entId, uint32_t* time) {
    if (uint32_t status = Enter(81))
        return status;
    return m_inner->EntQueryTime(entId, time);
}

uint32_t KivFaultEngine::EntQueryProt(uint32_t entId, char* buffer, size_t capacity) {
    if (uint32_t status = Enter(82))
        return status;
    return m_inner->EntQueryProt(entId, buffer, capacity);
}

uint32_t KivFaultEngine::EntQueryData(uint32_t entId, uint32_t kind, KivRecordHandle* record,
                                      uint32_t* length, uint32_t* present, uint32_t* reserved) {
    if (uint32_t status = Enter(83))
        return status;
    return m_inner->EntQueryData(entId, kind, record, length, present, reserved);
}

uint32_t KivFaultEngine::RecGet(KivRecordHandle record, uint32_t length, std::string* bytes) {
    if (uint32_t status = Enter(84))
        return status;
    return m_inner->RecGet(record, length, bytes);
}

uint32_t KivFaultEngine::AdamExportApp(const char* file, uint16_t appId, uint32_t form, uint32_t* modules) {
    if (uint32_t status = Enter(85))
        return status;
    return m_inner->AdamExportApp(file, appId, form, modules);
}

uint32_t KivFaultEngine::AdamExportMod(const char* file, uint32_t modId, uint32_t reserved,
                                       uint32_t* entities) {
    if (uint32_t status = Enter(86))
        return status;
    return m_inner->AdamExportMod(file, modId, reserved, entities);
}

uint32_t KivFaultEngine::AdamImportApp(const char* file, const char* appName, uint32_t replace,
                                       uint32_t reserved, uint32_t* appId, uint32_t* modules) {
    if (uint32_t status = Enter(87))
        return status;
    return m_inner->AdamImportApp(file, appName, replace, reserved, appId, modules);
}

uint32_t KivFaultEngine::AdamImportMod(const char* file, const char* moduleName, uint16_t appId,
                                       uint32_t* entities, uint32_t replace, uint32_t bind, uint32_t* modId) {
    if (uint32_t status = Enter(88))
        return status;
    return m_inner->AdamImportMod(file, moduleName, appId, entities, replace, bind, modId);
}

uint32_t KivFaultEngine::PrjSetDescription(const char* name, const char* description) {
    if (uint32_t status = Enter(89))
        return status;
    return m_inner->PrjSetDescription(name, description);
}

uint32_t KivFaultEngine::PrjSetLock(const char* name, uint32_t locked) {
    if (uint32_t status = Enter(90))
        return status;
    return m_inner->PrjSetLock(name, locked);
}

uint32_t KivFaultEngine::AppSetLib(uint16_t appId, uint32_t isLibrary, uint32_t isDll) {
    if (uint32_t status = Enter(91))
        return status;
    return m_inner->AppSetLib(appId, isLibrary, isDll);
}

uint32_t KivFaultEngine::AppSetSysLib(uint16_t appId, uint32_t isSystemLibrary) {
    if (uint32_t status = Enter(92))
        return status;
    return m_inner->AppSetSysLib(appId, isSystemLibrary);
}

uint32_t KivFaultEngine::ModSetAppearance(uint32_t modId, uint32_t visible) {
    if (uint32_t status = Enter(93))
        return status;
    return m_inner->ModSetAppearance(modId, visible);
}

uint32_t KivFaultEngine::EntSetAppearance(uint32_t entId, uint32_t visible) {
    if (uint32_t status = Enter(94))
        return status;
    return m_inner->EntSetAppearance(entId, visible);
}
