#include "json.h"

#include <gtest/gtest.h>

namespace {

TEST(JsonWriter, WritesCompactObjectsInInsertionOrder) {
    json::Object reply{{"set", true}, {"axError", -25200}, {"value", "x"}};
    reply.set("bounds", json::Object{{"x", 1}, {"y", -2}});
    EXPECT_EQ(json::serialize(reply),
              R"({"set":true,"axError":-25200,"value":"x","bounds":{"x":1,"y":-2}})");
}

TEST(JsonWriter, ReplacingAMemberKeepsItsPosition) {
    json::Object diagnostics{{"manualAccessibility", 0}, {"appError", -25212}, {"via", "tree"}};
    diagnostics.set("appError", -25204);
    EXPECT_EQ(json::serialize(diagnostics),
              R"({"manualAccessibility":0,"appError":-25204,"via":"tree"})");
}

TEST(JsonWriter, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(json::serialize("say \"hi\"\\\n\r\t\b\f\x01\x1f"),
              R"("say \"hi\"\\\n\r\t\b\f\u0001\u001f")");
}

TEST(JsonWriter, KeepsValidMultibyteTextAsIs) {
    EXPECT_EQ(json::serialize("héllo → 😀"), "\"héllo → 😀\"");
}

TEST(JsonWriter, ReplacesEachMalformedByteWithTheReplacementCharacter) {
    // A lone continuation byte, a truncated sequence, an overlong slash and an encoded surrogate.
    EXPECT_EQ(json::serialize("a\x80"
                              "b"),
              "\"a\xEF\xBF\xBD"
              "b\"");
    EXPECT_EQ(json::serialize("\xE2\x82"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(json::serialize("\xC0\xAF"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(json::serialize("\xED\xA0\x80"), "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_EQ(json::serialize("\xF4\x90\x80\x80"),
              "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
}

TEST(JsonWriter, WritesNumbersShortestAndNonFiniteAsNull) {
    EXPECT_EQ(json::serialize(json::Array{0.6, 1.0, 0.13, -0.0, 64.0}), "[0.6,1,0.13,-0,64]");
    EXPECT_EQ(json::serialize(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(json::serialize(std::int64_t{-9223372036854775807 - 1}), "-9223372036854775808");
}

TEST(JsonWriter, WritesEmptyContainersAndNull) {
    EXPECT_EQ(
        json::serialize(json::Object{{"a", json::Array{}}, {"b", json::Object{}}, {"c", nullptr}}),
        R"({"a":[],"b":{},"c":null})");
}

}  // namespace
