#include "cli/KivJsonWriter.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

namespace {

using json = nlohmann::ordered_json;

// The streaming writer must give the bytes kivrepo printed when it built the whole document and
// dumped it: scripts compare the output of one version with the next.
TEST(KivJsonWriterTest, WritesWhatTheWholeDocumentDumpedByteForByte) {
    const std::string texts[] = {"", "plain", "quote \" and \\ back", "\b\f\n\r\t", std::string("\x01\x1f\x7f", 3),
                                 "caf\xc3\xa9 / \xe2\x82\xac"};
    json doc;
    doc["empty array"] = json::array();
    doc["empty object"] = json::object();
    json items = json::array();
    for (const std::string& text : texts) {
        json item;
        item["text"] = text;
        item["length"] = text.size();
        item["odd"] = text.size() % 2 == 1;
        item["list"] = json::array({text, text});
        items.push_back(item);
    }
    doc["items"] = items;
    doc["nested"] = json::array({json::array(), json::array({json::object()})});

    std::ostringstream out;
    {
        KivJsonWriter w(out);
        w.BeginObject();
        w.Key("empty array").BeginArray();
        w.EndArray();
        w.Key("empty object").BeginObject();
        w.EndObject();
        w.Key("items").BeginArray();
        for (const std::string& text : texts) {
            w.BeginObject();
            w.String("text", text);
            w.Number("length", text.size());
            w.Bool("odd", text.size() % 2 == 1);
            w.Key("list").Strings({text, text});
            w.EndObject();
        }
        w.EndArray();
        w.Key("nested").BeginArray();
        w.BeginArray();
        w.EndArray();
        w.BeginArray();
        w.BeginObject();
        w.EndObject();
        w.EndArray();
        w.EndArray();
        w.EndObject();
        w.Finish();
    }
    EXPECT_EQ(out.str(), doc.dump(2) + '\n');
}

} // namespace
