#pragma once

#include "exportfiles/KivModuleAbstract.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class KivProgress;
class KivSourceLines;

// The source of one module, from a PRG file or from a text the caller has, split into entities
// at the lines that begin one (see KivScanPrgLines). The file is read whole, whatever its number
// of lines.
class KivPRGFile : public KivModuleAbstract {
public:
    // With no source text, the file is read and its change date and time become all four dates
    // and times; with a text (empty or not), the file is not touched, the dates and times are the
    // arguments and FullPath stays empty. Omitted dates and times are today and now. The
    // progress shows the reading of the file and the steps after it.
    explicit KivPRGFile(const std::string& fileName, std::optional<std::string> source = std::nullopt,
                        KivProgress* progress = nullptr);
    KivPRGFile(const std::string& fileName, std::optional<std::string> source, KivDate createDate,
               std::string createTime, KivDate lastBuildDate, std::string lastBuildTime,
               KivProgress* progress = nullptr);
    ~KivPRGFile() override;

    // Overrides in the slot order of KivModuleAbstract.
    bool Success() const override;
    void Close() override;
    bool ExportModule(const std::string& fileName) override;
    void Scan() override;
    void SortByName() override;
    std::shared_ptr<KivEntityAbstract> EntityFind(const std::string& entityName) override;
    KivDate CreateDate() const override;
    std::string CreateTime() const override;
    std::vector<std::shared_ptr<KivEntityAbstract>> EntityList() const override;
    bool IsMEF() const override;
    bool IsPRG() const override;
    KivDate LastBuildDate() const override;
    std::string LastBuildTime() const override;
    std::string FullPath() const override;
    // Slots 25 and 26.
    virtual std::string FileName() const;
    // Lines first to last, each followed by CR LF.
    virtual std::string ExportSource(uint32_t firstLine, uint32_t lastLine) const;

    size_t LineCount() const;

private:
    void Read(const std::string& fileName, KivProgress* progress);

    std::string m_fileName;
    bool m_success = false;
    std::vector<std::shared_ptr<KivEntityAbstract>> m_entities;
    KivDate m_createDate;
    std::string m_createTime;
    KivDate m_lastBuildDate;
    std::string m_lastBuildTime;
    std::shared_ptr<const KivSourceLines> m_lines;
};
