#include "tarviodeploy/installer/installationreport.h"

#include <gtest/gtest.h>

namespace Tarvio {
namespace {

Array<StringPair> reportFields(const String& components) {
    return {{L"type", L"installer"}, {L"computer-id", L"ID"},      {L"system", L"win"},
            {L"application", L"TarvioForMax"}, {L"version", L"2"}, {L"components", components}};
}

TEST(InstallationReportTest, SignatureIsTheDigestOfTheValuesAndTheSalt) {
    // Fixed values: the service checks them with its own copy of the salt.
    EXPECT_EQ(InstallationReport::signature(reportFields(L"max2019;lut;ies;vsredist")),
              String("3aaf5af1ba42ceabbe9c6c2abb45ca6b"));
    // An empty value takes part as nothing.
    EXPECT_EQ(InstallationReport::signature(reportFields(L"")), String("16c7ca29c2ed3280026dfa11892a3f23"));
    // The text is hashed as UTF-8.
    EXPECT_EQ(InstallationReport::signature({{L"k", L"Gr\u00FC\u00DFe \u4E2D"}}),
              String("5f8198e0ac0f3f5ecea0bf96d8aa9d9a"));
}

TEST(InstallationReportTest, OnlyTheValuesInTheirOrderMatterToTheSignature) {
    const String signature = InstallationReport::signature({{L"a", L"ab"}, {L"b", L"c"}});
    // Where one value ends and the next begins is not seen.
    EXPECT_EQ(InstallationReport::signature({{L"a", L"a"}, {L"b", L"bc"}}), signature);
    // Nor are the keys.
    EXPECT_EQ(InstallationReport::signature({{L"x", L"ab"}, {L"x", L"c"}}), signature);
    // The order of the values is.
    EXPECT_NE(InstallationReport::signature({{L"b", L"c"}, {L"a", L"ab"}}), signature);
}

TEST(InstallationReportTest, SignedFieldsAreACopyWithTheSignatureLast) {
    const Array<StringPair> fields = reportFields(L"");
    const Array<StringPair> signedFields = InstallationReport::signedFields(fields);
    ASSERT_EQ(fields.size(), 6);
    ASSERT_EQ(signedFields.size(), 7);
    for (int32_t index = 0; index < fields.size(); ++index) {
        EXPECT_EQ(signedFields[index].first, fields[index].first);
        EXPECT_EQ(signedFields[index].second, fields[index].second);
    }
    EXPECT_EQ(signedFields[6].first, String("signature"));
    EXPECT_EQ(signedFields[6].second, InstallationReport::signature(fields));
}

} // namespace
} // namespace Tarvio
