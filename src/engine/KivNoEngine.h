#pragma once

#include "engine/KivEngine.h"
#include "engine/KivEngineStatus.h"

// What the process works with while no engine is installed: every operation refuses with
// kNoEngine and touches nothing it is given.
class KivNoEngine final : public KivEngine {
public:
    uint32_t AdamInit(uint32_t, uint32_t*) override { return kNone; }
    uint32_t AdamExit() override { return kNone; }
    uint32_t AdamGetVersion(char*, size_t) override { return kNone; }
    uint32_t AdamQueryCurrentPrjName(char*, size_t) override { return kNone; }
    uint32_t PrjCatCreateEnum(uint32_t, uint32_t, uint32_t*) override { return kNone; }
    uint32_t PrjGetFirst(uint32_t, char*, size_t) override { return kNone; }
    uint32_t PrjGetNext(uint32_t, char*, size_t) override { return kNone; }
    uint32_t PrjCatDestroyEnum(uint32_t) override { return kNone; }
    uint32_t PrjSelect(const char*) override { return kNone; }
    uint32_t PrjCreate(const char*, const char*, uint32_t) override { return kNone; }
    uint32_t PrjDelete(const char*, uint32_t) override { return kNone; }
    uint32_t PrjRemove(const char*, uint32_t) override { return kNone; }
    uint32_t PrjQueryDir(const char*, char*, size_t, uint32_t) override { return kNone; }
    uint32_t PrjQueryDescription(const char*, char*, size_t, uint32_t) override { return kNone; }
    uint32_t PrjQueryKeywords(const char*, char*, size_t, uint32_t) override { return kNone; }
    uint32_t PrjSetKeywords(const char*, const char*, uint32_t) override { return kNone; }
    uint32_t PrjQueryLock(const char*, uint32_t*, uint32_t) override { return kNone; }
    uint32_t AdamGetFirstApp(uint16_t*) override { return kNone; }
    uint32_t AdamGetNextApp(uint16_t*) override { return kNone; }
    uint32_t AppFind(const char*, uint16_t*) override { return kNone; }
    uint32_t AppCreate(const char*, uint16_t*) override { return kNone; }
    uint32_t AppDeleteAID(uint16_t) override { return kNone; }
    uint32_t AppQueryName(uint16_t, char*, size_t) override { return kNone; }
    uint32_t AppQueryExeName(uint16_t, char*, size_t) override { return kNone; }
    uint32_t AppQueryExpName(uint16_t, char*, size_t) override { return kNone; }
    uint32_t AppQueryGroupName(uint16_t, char*, size_t) override { return kNone; }
    uint32_t AppSetExeName(uint16_t, const char*) override { return kNone; }
    uint32_t AppSetExpName(uint16_t, const char*) override { return kNone; }
    uint32_t AppSetGroupName(uint16_t, const char*) override { return kNone; }
    uint32_t AppSetDescription(uint16_t, const char*) override { return kNone; }
    uint32_t AppQueryDescription(uint16_t, KivRecordHandle*, uint32_t*) override { return kNone; }
    uint32_t AppQueryDebug(uint16_t, uint32_t*) override { return kNone; }
    uint32_t AppSetDebug(uint16_t, uint32_t, uint32_t) override { return kNone; }
    uint32_t AppQueryLib(uint16_t, uint32_t*, uint32_t*) override { return kNone; }
    uint32_t AppQuerySysLib(uint16_t, uint32_t*) override { return kNone; }
    uint32_t AppQueryCreateTime(uint16_t, uint32_t*) override { return kNone; }
    uint32_t AppQueryTime(uint16_t, uint32_t*) override { return kNone; }
    uint32_t AppQueryNumModules(uint16_t, uint32_t*) override { return kNone; }
    uint32_t AppGetFirstModule(uint16_t, uint32_t*) override { return kNone; }
    uint32_t AppGetNextModule(uint32_t*) override { return kNone; }
    uint32_t AdamSecurePath(uint16_t) override { return kNone; }
    uint32_t AppSPathGetFirst(uint16_t, uint16_t*) override { return kNone; }
    uint32_t AppSPathGetNext(uint16_t*) override { return kNone; }
    uint32_t AppAddSPath(uint16_t, uint16_t) override { return kNone; }
    uint32_t AppDelSPath(uint16_t, uint16_t) override { return kNone; }
    uint32_t AppMoveSPath(uint16_t, uint16_t, uint32_t) override { return kNone; }
    uint32_t AppUDCGetFirst(uint16_t, char*, size_t) override { return kNone; }
    uint32_t AppUDCGetNext(char*, size_t) override { return kNone; }
    uint32_t AppAddUDC(uint16_t, const char*) override { return kNone; }
    uint32_t AppDelUDC(uint16_t, const char*) override { return kNone; }
    uint32_t AppMoveUDC(uint16_t, const char*, uint32_t) override { return kNone; }
    uint32_t AppCHGetFirst(uint16_t, char*, size_t) override { return kNone; }
    uint32_t AppCHGetNext(char*, size_t) override { return kNone; }
    uint32_t AppAddCH(uint16_t, const char*) override { return kNone; }
    uint32_t AppDelCH(uint16_t, const char*) override { return kNone; }
    uint32_t AppMoveCH(uint16_t, const char*, uint32_t) override { return kNone; }
    uint32_t ModFind(uint16_t, const char*, uint32_t*) override { return kNone; }
    uint32_t ModCreate(uint16_t, const char*, uint32_t*) override { return kNone; }
    uint32_t ModDelete(uint32_t, uint32_t) override { return kNone; }
    uint32_t ModQueryName(uint32_t, char*, size_t) override { return kNone; }
    uint32_t ModQueryExtern(uint32_t, char*, size_t) override { return kNone; }
    uint32_t ModQueryExpName(uint32_t, char*, size_t) override { return kNone; }
    uint32_t ModSetExpName(uint32_t, const char*) override { return kNone; }
    uint32_t ModSetExtern(uint32_t, const char*, uint32_t*) override { return kNone; }
    uint32_t ModQueryDebug(uint32_t, uint32_t*) override { return kNone; }
    uint32_t ModSetDebug(uint32_t, uint16_t, uint32_t) override { return kNone; }
    uint32_t ModQueryOEM(uint32_t, uint32_t*) override { return kNone; }
    uint32_t ModQueryAppearance(uint32_t, uint32_t*) override { return kNone; }
    uint32_t ModSetOEM(uint32_t, uint32_t) override { return kNone; }
    uint32_t ModQueryCreateTime(uint32_t, uint32_t*) override { return kNone; }
    uint32_t ModQueryTime(uint32_t, uint32_t*) override { return kNone; }
    uint32_t ModQueryNumEntities(uint32_t, uint32_t*) override { return kNone; }
    uint32_t ModGetFirstEntity(uint32_t, uint32_t*) override { return kNone; }
    uint32_t ModGetNextEntity(uint32_t*) override { return kNone; }
    uint32_t EntFind(uint32_t, KivSymbol, uint32_t, uint32_t*) override { return kNone; }
    uint32_t EntQueryName(uint32_t, KivSymbol*) override { return kNone; }
    uint32_t EntQueryNameText(uint32_t, char*, size_t) override { return kNone; }
    uint32_t EntQueryType(uint32_t, uint32_t*) override { return kNone; }
    uint32_t EntQueryBlockType(uint32_t, uint32_t*) override { return kNone; }
    uint32_t EntQueryAppearance(uint32_t, uint32_t*) override { return kNone; }
    uint32_t EntQueryModule(uint32_t, uint32_t*) override { return kNone; }
    uint32_t EntQueryCreateTime(uint32_t, uint32_t*) override { return kNone; }
    uint32_t EntQueryTime(uint32_t, uint32_t*) override { return kNone; }
    uint32_t EntQueryProt(uint32_t, char*, size_t) override { return kNone; }
    uint32_t EntQueryData(uint32_t, uint32_t, KivRecordHandle*, uint32_t*, uint32_t*, uint32_t*) override {
        return kNone;
    }
    uint32_t RecGet(KivRecordHandle, uint32_t, std::string*) override { return kNone; }
    uint32_t AdamExportApp(const char*, uint16_t, uint32_t, uint32_t*) override { return kNone; }
    uint32_t AdamExportMod(const char*, uint32_t, uint32_t, uint32_t*) override { return kNone; }
    uint32_t AdamImportApp(const char*, const char*, uint32_t, uint32_t, uint32_t*, uint32_t*) override {
        return kNone;
    }
    uint32_t AdamImportMod(const char*, const char*, uint16_t, uint32_t*, uint32_t, uint32_t,
                           uint32_t*) override {
        return kNone;
    }
    uint32_t PrjSetDescription(const char*, const char*) override { return kNone; }
    uint32_t PrjSetLock(const char*, uint32_t) override { return kNone; }
    uint32_t AppSetLib(uint16_t, uint32_t, uint32_t) override { return kNone; }
    uint32_t AppSetSysLib(uint16_t, uint32_t) override { return kNone; }
    uint32_t ModSetAppearance(uint32_t, uint32_t) override { return kNone; }
    uint32_t EntSetAppearance(uint32_t, uint32_t) override { return kNone; }

private:
    static constexpr uint32_t kNone = kiv::engine::kNoEngine;
};
