#include "KivCliRun.h"
#include "common/KivAefTestWriter.h"
#include "common/KivTestHome.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

using json = nlohmann::ordered_json;
using Hit = std::tuple<std::string, std::string, std::string, std::string, int, std::string>;

KivTestEntity Func(const std::string& name, const std::string& source) {
    KivTestEntity e;
    e.name = name;
    e.prototype = "FUNCTION " + name + "()";
    e.source = source;
    return e;
}

// Every line of every entity's source, from `kivrepo list --source`, that holds the text in any
// case: what search --source must print, found without its code.
std::vector<Hit> Scan(const std::string& text) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
    const CliRun list = Kivrepo({"list", "--source"});
    EXPECT_EQ(list.code, 0) << list.err;
    const json doc = json::parse(list.out);
    std::vector<Hit> hits;
    for (const auto& project : doc["projects"])
        for (const auto& app : project["applications"])
            for (const auto& module : app["modules"])
                for (const auto& entity : module["entities"]) {
                    const std::string source = entity["source"];
                    int number = 0;
                    for (size_t begin = 0; begin < source.size(); ++number) {
                        size_t end = source.find("\r\n", begin);
                        end = end == std::string::npos ? source.size() : end;
                        std::string line = source.substr(begin, end - begin);
                        std::string folded = line;
                        std::transform(folded.begin(), folded.end(), folded.begin(), ::tolower);
                        if (folded.find(lower) != std::string::npos)
                            hits.emplace_back(project["name"], app["name"], module["name"], entity["info"],
                                              number + 1, line);
                        begin = end + 2;
                    }
                }
    return hits;
}

std::vector<Hit> Search(const std::vector<std::string>& args, json* doc = nullptr) {
    const CliRun run = Kivrepo(args);
    EXPECT_EQ(run.code, 0) << run.err;
    const json parsed = json::parse(run.out);
    std::vector<Hit> hits;
    for (const auto& hit : parsed["hits"])
        hits.emplace_back(hit["project"], hit["application"], hit["module"], hit["entity"],
                          hit.value("line", 0), hit.value("text", std::string()));
    if (doc)
        *doc = parsed;
    return hits;
}

} // namespace

class KivSearchCommandTest : public KivTestHome {
protected:
    void SetUp() override {
        KivTestHome::SetUp();
        Import("Shop", "Orders",
               KivAefTestWriter::Aef()
                   .AppName("Orders")
                   .AppInfo(0, 0)
                   .Module("Main", 0, 0)
                   .Entity(Func("Total", "FUNCTION Total()\r\n\tLOCAL nTotal := 0\r\nRETURN nTotal\r\n"))
                   .Entity(Func("PrintAll", "FUNCTION PrintAll()\r\nRETURN Total()"))
                   .End());
        Import("Archive", "Old",
               KivAefTestWriter::Aef()
                   .AppName("Old")
                   .AppInfo(0, 0)
                   .Module("Legacy", 0, 0)
                   .Entity(Func("SubTotal", "FUNCTION SubTotal()\r\n// no total here\r\n"))
                   .End());
    }
    void Import(const std::string& project, const std::string& app, const std::string& bytes) {
        WriteFile(Scratch() / (app + ".aef"), bytes);
        ASSERT_EQ(Kivrepo({"create-project", project, (Scratch() / project).string()}).code, 0);
        const CliRun run =
            Kivrepo({"import-aef", (Scratch() / (app + ".aef")).string(), app, "--project", project});
        ASSERT_EQ(run.code, 0) << run.err;
    }
};

TEST_F(KivSearchCommandTest, SourceHitsAreTheLinesAScanOfTheListFinds) {
    json doc;
    const std::vector<Hit> hits = Search({"search", "TOTAL", "--source"}, &doc);
    EXPECT_EQ(hits, Scan("total"));
    EXPECT_EQ(hits.size(), 6u);
    EXPECT_EQ(doc["text"], "TOTAL");
    EXPECT_EQ(doc["source"], true);

    std::vector<Hit> shop = Scan("total");
    shop.erase(
        std::remove_if(shop.begin(), shop.end(), [](const Hit& hit) { return std::get<0>(hit) != "Shop"; }),
        shop.end());
    EXPECT_EQ(Search({"search", "total", "--source", "--project", "shop"}), shop);
    EXPECT_EQ(Search({"search", "^return ntotal$", "--source", "--regex"}),
              (std::vector<Hit>{{"Shop", "Orders", "Main", "Total", 3, "RETURN nTotal"}}));
}

TEST_F(KivSearchCommandTest, NamesComeBestFirstAndMistakesAreTold) {
    EXPECT_EQ(Search({"search", "total"}),
              (std::vector<Hit>{{"Shop", "Orders", "Main", "Total", 0, ""},
                                {"Archive", "Old", "Legacy", "SubTotal", 0, ""}}));
    EXPECT_EQ(Search({"search", "^p", "--regex"}),
              (std::vector<Hit>{{"Shop", "Orders", "Main", "PrintAll", 0, ""}}));
    json doc;
    EXPECT_TRUE(Search({"search", "nothing"}, &doc).empty());
    EXPECT_TRUE(doc["hits"].is_array());

    const CliRun regex = Kivrepo({"search", "(", "--regex"});
    EXPECT_EQ(regex.code, 2);
    EXPECT_TRUE(regex.out.empty());
    const CliRun project = Kivrepo({"search", "x", "--project", "Nowhere"});
    EXPECT_EQ(project.code, 1);
    EXPECT_NE(project.err.find("Nowhere"), std::string::npos);
}
