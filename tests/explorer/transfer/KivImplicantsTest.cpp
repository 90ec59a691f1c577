#include "explorer/transfer/KivImplicants.h"
#include "explorer/transfer/KivTransferFixture.h"

#include <gtest/gtest.h>

namespace {

struct GraphCase {
    const char* title;
    // Each application with the libraries it names; the first one is the one asked about.
    std::vector<std::pair<std::string, std::vector<std::string>>> apps;
    std::vector<std::string> systemLibraries;
    std::vector<std::string> expected;
};

void PrintTo(const GraphCase& c, std::ostream* os) {
    *os << c.title;
}

const GraphCase kGraphs[] = {
    {"NoLibraries", {{"A", {}}}, {}, {}},
    {"UsedLibraryComesFirst", {{"A", {"L1", "L2"}}, {"L1", {"L2"}}, {"L2", {}}}, {}, {"L2", "L1"}},
    {"SharedLibraryOnceAndFirst",
     {{"A", {"L1", "L2"}}, {"L1", {"L3"}}, {"L2", {"L3"}}, {"L3", {}}},
     {},
     {"L3", "L1", "L2"}},
    {"PlacedByTheDeeperPath",
     {{"A", {"L4", "L1"}}, {"L1", {"L2"}}, {"L2", {"L3"}}, {"L3", {"L4"}}, {"L4", {}}},
     {},
     {"L4", "L3", "L2", "L1"}},
    {"SystemLibraryNeitherListedNorFollowed",
     {{"A", {"L1"}}, {"L1", {"S"}}, {"S", {"L2"}}, {"L2", {}}},
     {"S"},
     {"L1"}},
    {"LibraryUsingItself", {{"A", {"L1"}}, {"L1", {"L1", "L2"}}, {"L2", {}}}, {}, {"L2", "L1"}},
    {"CycleThroughTheApplication", {{"A", {"L1"}}, {"L1", {"L2"}}, {"L2", {"A", "L1"}}}, {}, {"L2", "L1"}},
    {"CycleBetweenLibraries",
     {{"A", {"L1", "L3"}}, {"L1", {"L2"}}, {"L2", {"L1"}}, {"L3", {"L2"}}},
     {},
     {"L1", "L2", "L3"}},
    {"UnknownLibraryIgnored", {{"A", {"Gone", "L1"}}, {"L1", {}}}, {}, {"L1"}},
};

} // namespace

class KivImplicantsTest : public KivTransferTest, public testing::WithParamInterface<GraphCase> {};

TEST_P(KivImplicantsTest, OrdersEveryLibraryBeforeItsUsers) {
    const GraphCase& graph = GetParam();
    for (const auto& [name, libraries] : graph.apps)
        App(name, libraries, name != "A");
    for (const std::string& name : graph.systemLibraries)
        MakeSystemLibrary(name);
    auto app = KivVOProject().ApplicationFind("A");
    ASSERT_TRUE(app);
    EXPECT_EQ(Names(KivBuildImplicantsList(*app)), graph.expected);
}

INSTANTIATE_TEST_SUITE_P(Graphs, KivImplicantsTest, testing::ValuesIn(kGraphs),
                         [](const auto& item) { return std::string(item.param.title); });

class KivImplicantsChainsTest : public KivTransferTest {};

TEST_F(KivImplicantsChainsTest, OneChainPerPathChildrenBeforeParents) {
    App("L3");
    Lib("L1", {"L3"});
    Lib("L2", {"L3"});
    auto app = App("A", {"L1", "L2"});
    std::vector<std::vector<std::string>> chains;
    for (const auto& chain : KivBuildImplicantsArray(*app))
        chains.push_back(Names(chain));
    const std::vector<std::vector<std::string>> expected{
        {"A", "L1", "L3"}, {"A", "L1"}, {"A", "L2", "L3"}, {"A", "L2"}};
    EXPECT_EQ(chains, expected);
}

TEST_F(KivImplicantsChainsTest, GivenListKeepsItsLibrariesInPlace) {
    auto l2 = Lib("L2");
    auto l3 = Lib("L3");
    Lib("L1", {"L2"});
    auto other = Lib("Other");
    auto app = App("A", {"L1", "L3"});
    // L2 is found again through other objects: identity is the ID, not the object.
    auto list = KivBuildImplicantsList(*app, {other, l3});
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Other", "L3", "L2", "L1"}));
}
