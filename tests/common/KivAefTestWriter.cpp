#include "common/KivAefTestWriter.h"

std::string KivAefTestWriter::U16Bytes(uint16_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string KivAefTestWriter::U32Bytes(uint32_t value) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    return out;
}

std::string KivAefTestWriter::Head(uint16_t tag, uint32_t length) {
    return U16Bytes(tag) + U32Bytes(length);
}

KivAefTestWriter KivAefTestWriter::Aef() {
    KivAefTestWriter w;
    w.Record(0x0001, U16Bytes(0x0280) + std::string("CA-VO Application Export File") + '\0');
    return w;
}

KivAefTestWriter KivAefTestWriter::Mef() {
    KivAefTestWriter w;
    w.Record(0x0001, U16Bytes(0x0280) + std::string("CA-VO Module Export File") + '\0');
    return w;
}

KivAefTestWriter& KivAefTestWriter::Record(uint16_t tag, std::string_view data) {
    m_bytes += Head(tag, static_cast<uint32_t>(data.size()));
    m_bytes += data;
    return *this;
}

KivAefTestWriter& KivAefTestWriter::Text(uint16_t tag, std::string_view text) {
    return Record(tag, std::string(text) + '\0');
}

KivAefTestWriter& KivAefTestWriter::U16(uint16_t tag, uint16_t value) {
    return Record(tag, U16Bytes(value));
}

KivAefTestWriter& KivAefTestWriter::AppName(std::string_view name) {
    std::string field(name);
    field.resize(64, '\0');
    return Record(0x0002, field);
}

KivAefTestWriter& KivAefTestWriter::AppInfo(uint32_t built, uint32_t created, bool library, bool dll) {
    std::string data(76, '\0');
    data[4] = library ? 1 : 0;
    data[8] = dll ? 1 : 0;
    data.replace(36, 4, U32Bytes(built));
    data.replace(40, 4, U32Bytes(created));
    return Record(0x010F, data);
}

KivAefTestWriter& KivAefTestWriter::Module(std::string_view name, uint32_t built, uint32_t created) {
    Text(0x0020, name);
    std::string data(56, '\0');
    data.replace(16, 4, U32Bytes(built));
    data.replace(20, 4, U32Bytes(created));
    return Record(0x010E, data);
}

KivAefTestWriter& KivAefTestWriter::Entity(const KivTestEntity& e) {
    Text(0x0040, e.name);
    Record(0x0051, U16Bytes(1));
    U16(0x0044, e.type);
    U16(0x004D, e.block);
    if (!e.source.empty())
        Text(0x0041, e.source);
    if (!e.prototype.empty())
        Text(0x004E, e.prototype);
    Record(0x009C, U16Bytes(0));
    for (const auto& [tag, data] : e.extra)
        Record(tag, data);
    Text(0x0123, e.name);
    std::string info(84, '\0');
    info.replace(28, 4, U32Bytes(e.created));
    info.replace(32, 4, U32Bytes(e.built));
    return Record(0x010D, info);
}

KivAefTestWriter& KivAefTestWriter::IdeModule(std::string_view name) {
    Module(name, 1250000000, 1150000000);
    Text(0x0024, "module description");
    Record(0x7B02, "mod");
    KivTestEntity f{"ORDER:INIT", 3, 21, "METHOD Init(n) CLASS Order",
                    std::string("METHOD Init(n) CLASS Order\r\n\tSELF:n := n // \x81\xe9\x01\r\n") +
                        std::string(5, '\0')};
    f.extra = {{0x0084, "params"}, {0x7C03, std::string("\0\1\2", 3)}};
    Entity(f);
    KivTestEntity window{"ORDERWINDOW", 10, 10, "", ""};
    window.extra = {{0x0042, std::string(200, '\x05')}};
    Entity(window);
    Record(0x0051, U16Bytes(2)).Record(0x0052, "x").Record(0x0128, "w").Record(0x0006, U32Bytes(5));
    Record(0x0129, std::string(1536, '\x06'));
    Entity(KivTestEntity{"TOTAL", 3, 17, "FUNCTION Total()", "FUNCTION Total()\r\nRETURN 0\r\n"});
    Record(0x0051, U16Bytes(3)).Record(0x0052, "y").Record(0x004F, "ref");
    return Text(0x0127, "C:\\MEF\\ORDERS.MEF");
}

std::string KivAefTestWriter::End() const {
    return m_bytes + Head(0xFFFF, 0);
}
