#include "exportfiles/KivModuleRecords.h"

#include "exportfiles/KivExportTags.h"
#include "exportfiles/KivMEFEntity.h"

void KivModuleRecords::Take(const KivRecord& record) {
    const std::string_view data = record.data;
    switch (record.tag) {
    case kiv::tag::kModuleName:
        m_name = KivRecordText(data);
        break;
    case kiv::tag::kModuleInfo:
        m_lastBuild = KivRecordU32(data, kiv::tag::kModuleInfoBuilt);
        m_created = KivRecordU32(data, kiv::tag::kModuleInfoCreated);
        break;
    case kiv::tag::kExternFile:
        m_externalFile = KivRecordText(data);
        break;
    case kiv::tag::kExternSource:
        m_externalSource = KivRecordText(data);
        break;
    case kiv::tag::kEntityName:
        m_pending = Entity{};
        m_pending.name = KivRecordText(data);
        m_listed = false;
        ++m_entityCounter;
        break;
    case kiv::tag::kSource:
        m_pending.source = data;
        break;
    case kiv::tag::kPrototype:
        m_pending.prototype = KivRecordText(data);
        break;
    case kiv::tag::kEntityInfo:
        m_pending.created = KivRecordU32(data, kiv::tag::kEntityInfoCreated);
        m_pending.lastBuild = KivRecordU32(data, kiv::tag::kEntityInfoBuilt);
        // A second information record must not list the entity twice.
        if (!m_pending.prototype.empty() && !m_listed) {
            m_entities.push_back(std::make_shared<KivMEFEntity>(m_pending.name, m_pending.prototype,
                                                                m_pending.source, m_pending.lastBuild,
                                                                m_pending.created, m_keepAlive));
            m_listed = true;
        }
        break;
    default:
        break;
    }
}
