#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// One entity as KivAefTestWriter writes it, with records of any kind to add after its prototype.
struct KivTestEntity {
    std::string name;
    uint16_t type = 3;
    uint16_t block = 17;
    std::string prototype;
    std::string source; // written with one NUL after it
    uint32_t created = 1000000000;
    uint32_t built = 1100000000;
    std::vector<std::pair<uint16_t, std::string>> extra;
};

// Builds AEF and MEF files record by record (u16 tag, u32 length, data, little-endian), in the
// order the IDE writes them, for tests of everything that reads or writes export files. It checks
// nothing: tests use it to make damaged files too.
class KivAefTestWriter {
public:
    // A stream starting with the AEF header (version 0x0280, "CA-VO Application Export File").
    static KivAefTestWriter Aef();
    // A stream starting with the MEF header ("CA-VO Module Export File").
    static KivAefTestWriter Mef();
    // An empty stream.
    KivAefTestWriter() = default;

    KivAefTestWriter& Record(uint16_t tag, std::string_view data);
    // The text and its NUL.
    KivAefTestWriter& Text(uint16_t tag, std::string_view text);
    KivAefTestWriter& U16(uint16_t tag, uint16_t value);
    // The application name record: the name in a 64-byte field of zeros.
    KivAefTestWriter& AppName(std::string_view name);
    // The application information record (76 bytes) with its flags and moments.
    KivAefTestWriter& AppInfo(uint32_t built, uint32_t created, bool library = false, bool dll = false);
    // A module's name and information (56 bytes) records.
    KivAefTestWriter& Module(std::string_view name, uint32_t built, uint32_t created);
    // An entity's records: name, 0x0051, type, block kind, source, prototype, 0x009C, the extra
    // records, display name (the name as given), information (84 bytes).
    KivAefTestWriter& Entity(const KivTestEntity& entity);
    // A module as the IDE writes it, with record kinds no reader interprets at the module level
    // (0x0024, 0x7B02, the trailing 0x0051, 0x0052, 0x004F) and the entity level (0x0084,
    // 0x7C03): the method ORDER:INIT (OEM and control bytes in its source, NULs after it), the
    // window ORDERWINDOW (designer binary, no prototype, then the window's trailing records) and
    // the function TOTAL; its export name is C:\MEF\ORDERS.MEF.
    KivAefTestWriter& IdeModule(std::string_view name);

    // The bytes so far, and with the end record appended.
    const std::string& Bytes() const { return m_bytes; }
    std::string End() const;

    static std::string U16Bytes(uint16_t value);
    static std::string U32Bytes(uint32_t value);
    static std::string Head(uint16_t tag, uint32_t length);

private:
    std::string m_bytes;
};
