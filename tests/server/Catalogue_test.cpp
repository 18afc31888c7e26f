#include "quantrel/catalogue.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "quantrel/enums.h"
#include "quantrel/errors.h"

namespace quantrel {
namespace {

TEST(Catalogue, FortyEightMethodsWithUniqueNamesAndDispatchIds) {
  const auto methods = Methods();
  ASSERT_EQ(methods.size(), 48u);
  std::set<std::string> names;
  std::set<int32_t> ids;
  for (const MethodSpec& m : methods) {
    names.insert(m.name);
    ids.insert(m.dispatchId);
    EXPECT_FALSE(m.inputs.empty()) << m.name;
    EXPECT_GT(m.helpContext, 0) << m.name;
    EXPECT_EQ(FindMethodByDispatchId(m.dispatchId), &m);
  }
  EXPECT_EQ(names.size(), 48u);
  EXPECT_EQ(ids.size(), 48u);
}

TEST(Catalogue, EveryEnumInputNamesAKnownEnumerationAndOptionalsComeLast) {
  for (const MethodSpec& m : Methods()) {
    bool seenOptional = false;
    for (const InputSpec& in : m.inputs) {
      if (in.type == InputType::Enum) {
        EXPECT_NE(FindEnumeration(in.enumeration), nullptr) << m.name << "." << in.name;
      } else {
        EXPECT_EQ(in.enumeration, nullptr) << m.name << "." << in.name;
      }
      if (seenOptional) {
        EXPECT_TRUE(in.optional) << m.name << "." << in.name;
      }
      seenOptional = seenOptional || in.optional;
      const bool quantity = std::string(in.name).starts_with("QtyAsset");
      EXPECT_EQ(in.declaredDefault, quantity && in.optional) << m.name << "." << in.name;
      EXPECT_EQ(in.defaultValue, in.declaredDefault ? 1.0 : 0.0) << m.name << "." << in.name;
    }
  }
}

TEST(Catalogue, ForwardStartEntry) {
  const MethodSpec* m = FindMethod("forwardstart");
  ASSERT_NE(m, nullptr);
  EXPECT_STREQ(m->name, "ForwardStart");
  EXPECT_EQ(m->dispatchId, 6);
  EXPECT_EQ(m->helpContext, 707);
  EXPECT_STREQ(m->helpString, "Forward Start Option Model");
  const char* expected[] = {"OptionType",   "OptionFunction", "AssetPrice",   "TimeStart",
                            "TimeExpire",   "Volatility",     "InterestRate", "YieldRate",
                            "Alpha",        "MarketPrice",    "TimeFormat",   "InterestRateType",
                            "YieldRateType"};
  ASSERT_EQ(m->inputs.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_STREQ(m->inputs[i].name, expected[i]);
  EXPECT_STREQ(m->inputs[1].enumeration, "enumOptionFncsFS");
  EXPECT_FALSE(m->inputs[8].optional);
  EXPECT_TRUE(m->inputs[9].optional);
  EXPECT_EQ(FindMethod("NoSuchMethod"), nullptr);
}

TEST(Catalogue, InputTypesOfCountsAndSharedHelpContexts) {
  const MethodSpec* mc = FindMethod("AsianMC");
  ASSERT_NE(mc, nullptr);
  EXPECT_EQ(mc->inputs[8].type, InputType::Int32);  // NumSteps
  EXPECT_EQ(mc->inputs[9].type, InputType::Int32);  // Iterations
  EXPECT_EQ(FindMethod("Quanto")->helpContext, FindMethod("ForeignEquity")->helpContext);
}

TEST(Enumerations, TablesMatchTheEnumTypes) {
  EXPECT_EQ(Enumerations().size(), 35u);
  const EnumerationSpec* rates = FindEnumeration("enumCompoundRate");
  ASSERT_NE(rates, nullptr);
  ASSERT_EQ(rates->members.size(), 12u);
  EXPECT_EQ(FindMember(*rates, "termrate")->value, TermRate);
  EXPECT_EQ(FindMember(*rates, "BondEquivelantYield")->value, 10);
  const EnumerationSpec* fs = FindEnumeration("enumOptionFncsFS");
  EXPECT_EQ(FindMember(*fs, "Lambda_FS")->value, Lambda_FS);
  EXPECT_EQ(FindMember(*fs, "Chi_FS"), nullptr);
}

// The look-ups by name agree with a scan of the tables, in any case, and a member is found only
// in its own enumeration, also one a caller built.
TEST(Enumerations, LookUpsByNameAgreeWithAScanInAnyCase) {
  auto upper = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  };
  for (const MethodSpec& m : Methods()) EXPECT_EQ(FindMethod(upper(m.name)), &m);
  for (const EnumerationSpec& e : Enumerations()) {
    EXPECT_EQ(FindEnumeration(upper(e.name)), &e);
    for (const EnumMember& member : e.members) {
      const EnumMember* first = nullptr;
      for (const EnumMember& other : e.members) {
        if (!first && EqualsIgnoreCase(other.name, member.name)) first = &other;
      }
      EXPECT_EQ(FindMember(e, upper(member.name)), first) << e.name << "." << member.name;
      const EnumerationSpec copy{e.name, e.members};  // not the catalogue's own
      EXPECT_EQ(FindMember(copy, member.name), first);
    }
  }
  EXPECT_EQ(FindMember(*FindEnumeration("enumOptionType"), "Theoretical_FS"), nullptr);
  EXPECT_EQ(FindMethod(""), nullptr);
  EXPECT_EQ(FindEnumeration("enumOptionTyp"), nullptr);
}

TEST(ErrorCodes, ValuesNamesAndDescriptions) {
  EXPECT_EQ(static_cast<uint32_t>(IterationsMinErr), 0x8004FFFFu);
  EXPECT_EQ(static_cast<uint32_t>(ModelTypeErr), 0x8005006Bu);
  EXPECT_EQ(None, 0);
  EXPECT_STREQ(ErrorName(TimeExpireErr), "TimeExpireErr");
  EXPECT_STREQ(ErrorDescription(RebateErr), "The Rebate must be greater than or equal to 0.");
  EXPECT_STREQ(ErrorDescription(YieldRate2NegErr),
               "The Yield Rate is too negative for the conversion.  Either increase the Yield Rate "
               "or Decrease the Time until Expiration.");
  EXPECT_EQ(ErrorName(0x12345), nullptr);
  std::set<int32_t> codes;
  for (const ErrorSpec& e : ErrorCodes()) {
    codes.insert(e.code);
    if (e.code != None) {
      EXPECT_GE(static_cast<uint32_t>(e.code), 0x8004FFFFu) << e.name;
      EXPECT_LE(static_cast<uint32_t>(e.code), 0x8005006Bu) << e.name;
    }
  }
  EXPECT_EQ(codes.size(), ErrorCodes().size());
  EXPECT_FALSE(ErrorCodes()[4].raised);  // TimeExDivErr
}

}  // namespace
}  // namespace quantrel
