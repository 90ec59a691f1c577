#include "common/KivBrokenExportFiles.h"

#include "common/KivAefTestWriter.h"

#include <functional>

namespace {

using W = KivAefTestWriter;
using Damage = std::function<std::string(std::string bytes, size_t at)>;
constexpr KivVerdict kRefused = KivVerdict::Refused;
constexpr KivVerdict kDamaged = KivVerdict::Damaged;

KivTestEntity Func(const std::string& name) {
    KivTestEntity e;
    e.name = name;
    e.prototype = "FUNCTION " + name + "()";
    e.source = KivBrokenExportSource(name);
    return e;
}

// The application up to its second module's first entity; `tail` adds the fault and what follows.
std::string Application(const std::function<void(W&)>& tail) {
    W w = W::Aef();
    w.AppName("App").Text(0x000D, "APP.EXE").Module("First", 0, 0).Entity(Func("A")).Entity(Func("B"));
    w.Module("Second", 0, 0).Entity(Func("C"));
    tail(w);
    return w.End();
}

std::string Module(const std::string& name, const std::function<void(W&)>& tail) {
    W w = W::Mef();
    w.Module(name, 0, 0).Entity(Func("A")).Entity(Func("B"));
    tail(w);
    return w.End();
}

// A damage of the record stream, behind the last whole entity but one.
KivBrokenExportFile Stream(const char* what, const Damage& damage, bool lastEntityWhole = false) {
    size_t aefAt = 0;
    size_t mefAt = 0;
    std::string aef = Application([&](W& w) {
        aefAt = w.Bytes().size();
        w.Entity(Func("D"));
    });
    std::string mef = Module("Mod", [&](W& w) {
        mefAt = w.Bytes().size();
        w.Entity(Func("C"));
    });
    KivBrokenExportFile file{what, damage(aef, aefAt), damage(mef, mefAt), kDamaged, kDamaged};
    file.modules = {"First", "Second"};
    file.second = lastEntityWhole ? std::vector<std::string>{"C", "D"} : std::vector<std::string>{"C"};
    file.entities =
        lastEntityWhole ? std::vector<std::string>{"A", "B", "C"} : std::vector<std::string>{"A", "B"};
    return file;
}

std::string WithVersion(const std::string& bytes, uint16_t version) {
    return bytes.substr(0, 6) + W::U16Bytes(version) + bytes.substr(8);
}

std::string AefHeader(uint32_t length) {
    std::string data = W::U16Bytes(0x0280) + std::string("CA-VO Application Export File") + '\0';
    data.resize(length, '\0');
    return W().Record(0x0001, data).AppName("App").End();
}

KivBrokenExportFile Header(const char* what, std::string aef, std::string mef = {}) {
    return {what, std::move(aef), std::move(mef), kRefused, kRefused};
}

std::vector<KivBrokenExportFile> Make() {
    const std::string aef = Application([](W& w) { w.Entity(Func("D")); });
    const std::string mef = Module("Mod", [](W& w) { w.Entity(Func("C")); });
    std::vector<KivBrokenExportFile> files = {
        Stream("cut_inside_a_record", [](std::string b, size_t at) { return b.substr(0, at + 20); }),
        Stream("cut_inside_a_record_head", [](std::string b, size_t at) { return b.substr(0, at + 3); }),
        Stream(
            "no_end_record", [](std::string b, size_t) { return b.substr(0, b.size() - 6); }, true),
        Stream("length_past_the_end",
               [](std::string b, size_t at) { return b.replace(at + 2, 4, W::U32Bytes(0xFFFFFFF0)); }),
        Stream("length_one_too_long",
               [](std::string b, size_t at) {
                   return b.replace(at + 2, 4, W::U32Bytes(static_cast<uint32_t>(b.size() - at - 6 + 1)));
               }),
        Header("empty", ""),
        Header("too_short_for_a_head", std::string("\x01\x00", 2)),
        Header("text", "FUNCTION Start()\r\nRETURN NIL\r\n"),
        Header("header_of_another_kind", W().Record(0x0002, std::string(32, 'a')).End()),
        Header("header_too_short", AefHeader(31)),
        Header("header_cut_short", W::Head(0x0001, 32) + "\x80\x02", W::Head(0x0001, 27) + "\x80"),
        Header("version_without_bit_7", WithVersion(aef, 0x0200), WithVersion(mef, 0x0200)),
        Header("unknown_version", WithVersion(aef, 0x0380), WithVersion(mef, 0x0380)),
        Header("mef_header", mef),
        Header("random_bytes", std::string("\x01\x00\x20\x00\x00\x00\x80\x02\xde\xad\xbe\xef", 12)),
    };
    // The repository cannot hold these modules: the module is left out of the list, or listed
    // twice, and the file is damaged for every reader.
    KivBrokenExportFile nameless{"module_without_name",
                                 Application([](W& w) { w.Module("", 0, 0).Entity(Func("D")); }),
                                 Module("", [](W& w) { w.Entity(Func("C")); }), kDamaged, kDamaged};
    nameless.modules = {"First", "Second"};
    nameless.entities = {"A", "B", "C"};
    KivBrokenExportFile twice{
        "two_modules_of_one_name", Application([](W& w) { w.Module("SECOND", 0, 0).Entity(Func("D")); }),
        Module("Mod", [](W& w) { w.Module("MOD", 0, 0).Entity(Func("C")); }), kDamaged, kDamaged};
    twice.modules = {"First", "Second", "SECOND"};
    twice.entities = {"A", "B"};
    for (KivBrokenExportFile* file : {&nameless, &twice}) {
        file->second = {"C"};
        file->secondWhole = true;
        files.push_back(std::move(*file));
    }
    return files;
}

} // namespace

std::string KivBrokenExportSource(const std::string& entity) {
    return "FUNCTION " + entity + "()\r\n" + std::string(40, 'x') + "\r\n";
}

const std::vector<KivBrokenExportFile>& KivBrokenExportFiles() {
    static const std::vector<KivBrokenExportFile> files = Make();
    return files;
}
