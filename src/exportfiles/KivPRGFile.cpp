#include "exportfiles/KivPRGFile.h"

#include "exportfiles/KivPRGEntity.h"
#include "exportfiles/KivPrgScan.h"
#include "exportfiles/KivSourceLines.h"
#include "exportfiles/KivWriteFileAtomic.h"
#include "support/KivDateTime.h"
#include "support/KivFileBin.h"
#include "support/KivFileSpec.h"
#include "support/KivPathUtil.h"
#include "support/KivProgress.h"
#include "support/KivStringList.h"
#include "support/KivStringUtil.h"

#include <algorithm>
#include <ctime>

namespace {

constexpr uint32_t kLineMaximum = 2048;
constexpr uint32_t kReadBlock = 1 << 20;

std::pair<KivDate, std::string> Now() {
    const auto now = static_cast<uint32_t>(std::time(nullptr));
    return KivUnixTimeToDateTime(KivGMTUnixTimeToLocalUnixTime(now));
}

} // namespace

KivPRGFile::KivPRGFile(const std::string& fileName, std::optional<std::string> source, KivProgress* progress)
    : KivPRGFile(fileName, std::move(source), Now().first, Now().second, Now().first, Now().second,
                 progress) {}

KivPRGFile::KivPRGFile(const std::string& fileName, std::optional<std::string> source, KivDate createDate,
                       std::string createTime, KivDate lastBuildDate, std::string lastBuildTime,
                       KivProgress* progress)
    : m_createDate(createDate), m_createTime(std::move(createTime)), m_lastBuildDate(lastBuildDate),
      m_lastBuildTime(std::move(lastBuildTime)), m_lines(std::make_shared<KivSourceLines>()) {
    m_success = true;
    if (!fileName.empty() && !source && KivFileSpec(fileName).Find())
        Read(fileName, progress);
    else if (source)
        m_lines = std::make_shared<KivSourceLines>(KivStringList(*source).Contents());
    m_fileName = KivExtractFileName(fileName.empty() ? std::string("No Name") : fileName);
    if (progress)
        progress->SetWaitText("Count and Search Entities");
    Scan();
    if (progress)
        progress->SetWaitText("Sort by Name");
    SortByName();
}

KivPRGFile::~KivPRGFile() {
    KivPRGFile::Close();
}

void KivPRGFile::Read(const std::string& fileName, KivProgress* progress) {
    KivFileBin file(fileName);
    if (!file.Open(KivFileBin::kRead)) {
        SetStatus(file.ErrorCode(), "Cannot read " + fileName);
        m_success = false;
        return;
    }
    const int64_t size = file.Size();
    if (progress) {
        progress->SetWaitText("Reading File...");
        progress->SetRange(0, 1, 100);
        progress->SetPosition(0, 1);
    }
    // The file is read whole in large blocks and split afterwards: reading it line by line
    // costs a buffered call for every line of files that run to hundreds of thousands.
    std::string text;
    // Room for the last, empty read too: growing the text for it would copy the whole file.
    text.reserve(static_cast<size_t>(std::max<int64_t>(size, 0)) + kReadBlock);
    size_t done = 0;
    uint32_t shown = 1;
    for (;;) {
        // Read straight into the text; a file that grows while it is read is read on.
        text.resize(std::max(done + kReadBlock, static_cast<size_t>(std::max<int64_t>(size, 0))));
        const uint32_t want = static_cast<uint32_t>(std::min<size_t>(text.size() - done, kReadBlock));
        const uint32_t got = file.ReadBlock(text.data() + done, want);
        done += got;
        if (got == 0) {
            if (file.ErrorCode() != 0 && file.ErrorCode() != KivFileBin::kEofReached) {
                // What was read before the failure stays: the entities found in it are listed.
                SetStatus(file.ErrorCode(), "Error reading " + fileName);
                m_success = false;
            }
            break;
        }
        if (progress && size > 0) {
            const auto percent =
                static_cast<uint32_t>(std::clamp<int64_t>(static_cast<int64_t>(done) * 100 / size, 1, 100));
            if (percent != shown) {
                progress->SetPosition(0, percent);
                shown = percent;
            }
        }
    }
    text.resize(done);
    if (progress)
        progress->SetWaitText("Please wait...");
    m_lines = std::make_shared<KivSourceLines>(std::move(text), kLineMaximum);
    m_createDate = m_lastBuildDate = file.DateChanged();
    m_createTime = m_lastBuildTime = file.TimeChanged();
    file.Close();
    m_fullPath = fileName;
}

bool KivPRGFile::Success() const {
    return m_success;
}

void KivPRGFile::Close() {
    // Entities share the lines and keep them; the file lets go of its own.
    m_lines = std::make_shared<KivSourceLines>();
    m_success = false;
}

void KivPRGFile::Scan() {
    m_entities.clear();
    for (KivPrgSpan& span : KivScanPrgLineViews(m_lines->Lines()))
        m_entities.push_back(std::make_shared<KivPRGEntity>(std::string(), std::move(span.prototype), m_lines,
                                                            span.firstLine, span.lastLine, m_createDate,
                                                            m_createTime, m_lastBuildDate, m_lastBuildTime));
}

void KivPRGFile::SortByName() {
    SortEntitiesByName(m_entities);
}

std::shared_ptr<KivEntityAbstract> KivPRGFile::EntityFind(const std::string& entityName) {
    const std::string wanted = KivLower(entityName);
    for (const auto& entity : m_entities)
        if (KivLower(entity->Name()).compare(0, wanted.size(), wanted) == 0)
            return entity;
    return nullptr;
}

bool KivPRGFile::ExportModule(const std::string& fileName) {
    if (fileName.empty())
        return false;
    return KivWriteFileAtomic(fileName, m_lines->TextValue());
}

KivDate KivPRGFile::CreateDate() const {
    return m_createDate;
}

std::string KivPRGFile::CreateTime() const {
    return m_createTime;
}

std::vector<std::shared_ptr<KivEntityAbstract>> KivPRGFile::EntityList() const {
    return m_entities;
}

bool KivPRGFile::IsMEF() const {
    return false;
}

bool KivPRGFile::IsPRG() const {
    return true;
}

KivDate KivPRGFile::LastBuildDate() const {
    return m_lastBuildDate;
}

std::string KivPRGFile::LastBuildTime() const {
    return m_lastBuildTime;
}

std::string KivPRGFile::FullPath() const {
    return m_fullPath;
}

std::string KivPRGFile::FileName() const {
    return m_fileName;
}

std::string KivPRGFile::ExportSource(uint32_t firstLine, uint32_t lastLine) const {
    return KivJoinSourceLineViews(m_lines->Lines(), firstLine, lastLine);
}

size_t KivPRGFile::LineCount() const {
    return m_lines->Count();
}
