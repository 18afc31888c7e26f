// The automation layer: early-bound and late-bound calls, the C interface, status results and
// error information.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "quantrel/automation.h"
#include "quantrel/bindings.h"
#include "quantrel/quantrel.h"
#include "quantrel/quantrel_c.h"
#include "server/ExoticOptionsImpl.h"

namespace quantrel {
namespace {

// A reference-counted pointer for the tests.
struct Object {
  IQuantrel* p = nullptr;
  Object() { EXPECT_EQ(CreateQuantrel(&p), S_OK); }
  ~Object() {
    if (p) p->Release();
  }
  IQuantrel* operator->() const { return p; }
};

// A forward-start call in every form. Inputs in interface order.
struct ForwardStartCall {
  int32_t type = CallOption, function = Theoretical_FS;
  double S = 60, t1 = 0.25, T = 1, v = 0.3, r = 0.08, q = 0.04, alpha = 1.1, market = 0;
  int32_t timeFormat = Years, rateType = Annually, yieldType = Continuous;

  double Cpp() const {
    return ForwardStart(type, function, S, t1, T, v, r, q, alpha, market, timeFormat, rateType,
                        yieldType);
  }
  HRESULT Early(IQuantrel& o, double* result) const {
    return o.ForwardStart(type, function, S, t1, T, v, r, q, alpha, market, timeFormat, rateType,
                          yieldType, result);
  }
  int32_t C(double* result) const {
    return Quantrel_ForwardStart(type, function, S, t1, T, v, r, q, alpha, market, timeFormat,
                                 rateType, yieldType, result);
  }
  // Named arguments in a scrambled order, names in mixed case.
  HRESULT Late(IQuantrel& o, double* result, ExcepInfo* info = nullptr) const {
    const NamedArgument args[] = {{"yieldratetype", Variant::Of(yieldType)},
                                  {"Alpha", Variant::Of(alpha)},
                                  {"OptionType", Variant::Of(type)},
                                  {"OPTIONFUNCTION", Variant::Of(function)},
                                  {"AssetPrice", Variant::Of(S)},
                                  {"TimeStart", Variant::Of(t1)},
                                  {"TimeExpire", Variant::Of(T)},
                                  {"Volatility", Variant::Of(v)},
                                  {"InterestRate", Variant::Of(r)},
                                  {"YieldRate", Variant::Of(q)},
                                  {"MarketPrice", Variant::Of(market)},
                                  {"TimeFormat", Variant::Of(timeFormat)},
                                  {"InterestRateType", Variant::Of(rateType)}};
    return InvokeByName(o, "forwardStart", {}, args, result, info);
  }
};

TEST(Automation, EveryFormOfACallGivesTheSameBits) {
  Object o;
  for (int32_t function : {1, 2, 3, 4, 5, 6, 7, 8, 9}) {
    ForwardStartCall call;
    call.function = function;
    call.market = 6.5;
    const double expected = call.Cpp();
    double early = -1, late = -2, c = -3;
    ASSERT_EQ(call.Early(*o.p, &early), S_OK);
    ASSERT_EQ(call.Late(*o.p, &late), S_OK);
    ASSERT_EQ(call.C(&c), 0);
    EXPECT_EQ(std::memcmp(&early, &expected, sizeof(double)), 0) << function;
    EXPECT_EQ(std::memcmp(&late, &expected, sizeof(double)), 0) << function;
    EXPECT_EQ(std::memcmp(&c, &expected, sizeof(double)), 0) << function;
  }
}

TEST(Automation, OmittedOptionalsReadAsZero) {
  Object o;
  const Variant positional[] = {
      Variant::Of(CallOption), Variant::Of(Theoretical_FS), Variant::Of(60.0),
      Variant::Of(91.25),      Variant::Of(365.0),          Variant::Of(0.3),
      Variant::Of(0.08),       Variant::Of(0.04),           Variant::Of(1.1)};
  double result = 0;
  ASSERT_EQ(InvokeByName(*o.p, "ForwardStart", positional, {}, &result, nullptr), S_OK);
  // No market price, Days, Continuous rates.
  EXPECT_EQ(result, ForwardStart(CallOption, Theoretical_FS, 60, 91.25, 365, 0.3, 0.08, 0.04, 1.1));
  // An explicit "missing" marker is the same as leaving the argument out.
  std::vector<Variant> withMarker(std::begin(positional), std::end(positional));
  withMarker.push_back(Variant::Missing());
  withMarker.push_back(Variant::Missing());
  double marked = 0;
  ASSERT_EQ(InvokeByName(*o.p, "ForwardStart", withMarker, {}, &marked, nullptr), S_OK);
  EXPECT_EQ(marked, result);
}

TEST(Automation, ValuesAreCoercedAsAutomationDoes) {
  Object o;
  ForwardStartCall call;
  double expected = call.Cpp();
  // Numbers in text, an enumeration given as a double, a count rounding half to even.
  const NamedArgument args[] = {
      {"OptionType", Variant::Of(1.0)},
      {"OptionFunction", Variant::Of(std::string("1"))},
      {"AssetPrice", Variant::Of(std::string(" 60 "))},
      {"TimeStart", Variant::Of(0.25)},
      {"TimeExpire", Variant::Of(int32_t{1})},
      {"Volatility", Variant::Of(std::string("3e-1"))},
      {"InterestRate", Variant::Of(0.08)},
      {"YieldRate", Variant::Of(0.04)},
      {"Alpha", Variant::Of(1.1)},
      {"TimeFormat", Variant::Of(1.0)},
      {"InterestRateType", Variant::Of(6.5)},  // 6.5 rounds to 6 (SemiAnnually)
  };
  double result = 0;
  ASSERT_EQ(InvokeByName(*o.p, "ForwardStart", {}, args, &result, nullptr), S_OK);
  call.rateType = SemiAnnually;
  expected = call.Cpp();
  EXPECT_EQ(result, expected);
}

struct WrongCall {
  const char* what;
  std::string method;
  std::vector<Variant> positional;
  std::vector<std::pair<std::string, Variant>> named;
  HRESULT status;
  uint32_t argErr;  // UINT32_MAX: not looked at
};

TEST(Automation, WrongCallsHaveTheirOwnStatus) {
  Object o;
  auto nine = [](std::vector<Variant> tail = {}) {
    std::vector<Variant> v = {Variant::Of(1),    Variant::Of(1),    Variant::Of(60.0),
                              Variant::Of(0.25), Variant::Of(1.0),  Variant::Of(0.3),
                              Variant::Of(0.08), Variant::Of(0.04), Variant::Of(1.1)};
    v.insert(v.end(), tail.begin(), tail.end());
    return v;
  };
  std::vector<Variant> eight = nine();
  eight.pop_back();
  auto withAt = [&](size_t position, Variant value) {
    std::vector<Variant> v = nine();
    v[position] = value;
    return v;
  };
  const std::vector<WrongCall> cases = {
      {"unknown method", "NoSuchMethod", nine(), {}, DISP_E_UNKNOWNNAME, UINT32_MAX},
      {"unknown input",
       "ForwardStart",
       nine(),
       {{"Strike", Variant::Of(1.0)}},
       DISP_E_UNKNOWNNAME,
       0},
      {"too many",
       "ForwardStart",
       nine({Variant::Of(0.0), Variant::Of(1), Variant::Of(0), Variant::Of(0), Variant::Of(0)}),
       {},
       DISP_E_BADPARAMCOUNT,
       UINT32_MAX},
      {"required missing",
       "ForwardStart",
       {Variant::Of(1), Variant::Of(1)},
       {},
       DISP_E_PARAMNOTOPTIONAL,
       2},
      {"required marked missing",
       "ForwardStart",
       eight,
       {{"Alpha", Variant::Missing()}},
       DISP_E_PARAMNOTOPTIONAL,
       8},
      {"not a number",
       "ForwardStart",
       withAt(2, Variant::Of(std::string("sixty"))),
       {},
       DISP_E_TYPEMISMATCH,
       6},
      {"enum out of range", "ForwardStart", withAt(0, Variant::Of(1e12)), {}, DISP_E_OVERFLOW, 8},
      {"named twice",
       "ForwardStart",
       {},
       {{"Alpha", Variant::Of(1.0)}, {"alpha", Variant::Of(2.0)}},
       DISP_E_PARAMNOTFOUND,
       1},
  };
  for (const WrongCall& c : cases) {
    std::vector<NamedArgument> named;
    for (const auto& [name, value] : c.named) named.push_back({name, value});
    double result = 42;
    uint32_t argErr = UINT32_MAX;
    EXPECT_EQ(InvokeByName(*o.p, c.method, c.positional, named, &result, nullptr, &argErr),
              c.status)
        << c.what;
    if (c.argErr != UINT32_MAX) {
      EXPECT_EQ(argErr, c.argErr) << c.what;
    }
    EXPECT_EQ(result, 42) << c.what;
  }
  // Unknown dispatch ids.
  Variant out;
  EXPECT_EQ(o->Invoke(9999, {}, &out, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
  // A method of the interface whose model is not built (while there is one) is not found either.
  for (const MethodSpec& m : Methods()) {
    if (FindBinding(m.dispatchId)) continue;
    int32_t id = 0;
    std::string_view name = m.name;
    EXPECT_EQ(o->GetIDsOfNames({&name, 1}, &id), DISP_E_UNKNOWNNAME) << name;
    break;
  }
}

TEST(Automation, AValidationFailureReturnsItsCodeAndErrorInformation) {
  Object o;
  ForwardStartCall call;
  call.alpha = 0;
  double result = 123;
  ASSERT_EQ(call.Early(*o.p, &result), AlphaErr);
  EXPECT_EQ(result, 123);  // untouched
  EXPECT_EQ(LastErrorCode(), AlphaErr);
  ErrorInfo info;
  ASSERT_EQ(GetErrorInfo(info), S_OK);
  EXPECT_EQ(info.guid, IID_IQuantrel);
  EXPECT_EQ(info.source, "Quantrelix.Quantrel");
  EXPECT_EQ(info.description, "The Alpha must be greater than 0.");
  EXPECT_EQ(info.helpFile, "Quantrel.hlp");
  EXPECT_EQ(info.helpContext, 707u);
  EXPECT_EQ(GetErrorInfo(info), S_FALSE);  // taken

  // Late bound: DISP_E_EXCEPTION carrying the same.
  ExcepInfo excep;
  ASSERT_EQ(call.Late(*o.p, &result, &excep), DISP_E_EXCEPTION);
  EXPECT_EQ(excep.scode, AlphaErr);
  EXPECT_EQ(excep.description, "The Alpha must be greater than 0.");
  EXPECT_EQ(excep.helpContext, 707u);

  // The C interface.
  ASSERT_EQ(call.C(&result), AlphaErr);
  EXPECT_EQ(Quantrel_ErrorCode(), AlphaErr);
  EXPECT_STREQ(Quantrel_ErrorDescription(), "The Alpha must be greater than 0.");
  EXPECT_STREQ(Quantrel_ErrorSource(), "Quantrelix.Quantrel");
  EXPECT_STREQ(Quantrel_ErrorHelpFile(), "Quantrel.hlp");
  EXPECT_EQ(Quantrel_ErrorHelpContext(), 707);
  call.alpha = 1.1;
  ASSERT_EQ(call.C(&result), 0);
  EXPECT_EQ(Quantrel_ErrorCode(), 0);
  EXPECT_STREQ(Quantrel_ErrorDescription(), "");
}

TEST(Automation, FloatingPointFaultsAreAZeroResultAndOtherFailuresAnError) {
  const MethodSpec& method = *FindMethod("ForwardStart");
  struct Case {
    std::string message;
    HRESULT status;
  };
  const Case cases[] = {{"EInvalidOp", S_OK},
                        {"EZeroDivide", S_OK},
                        {"EDivByZero", S_OK},
                        {"EOverflow", S_OK},
                        {"eoverflow", DISP_E_EXCEPTION},
                        {"EOverflow ", DISP_E_EXCEPTION},
                        {"out of memory", DISP_E_EXCEPTION}};
  for (const Case& c : cases) {
    double result = 7;
    const HRESULT status = server::ReportCall(
        method, &result, [&]() -> double { throw std::runtime_error(c.message); });
    EXPECT_EQ(status, c.status) << c.message;
    EXPECT_EQ(result, c.status == S_OK ? 0.0 : 7.0) << c.message;
  }
  // A model's math fault ends the same way: an arithmetic average of prices near the largest
  // double overflows its moments.
  Object o;
  double result = 7;
  EXPECT_EQ(o->AveragePrice(CallOption, Arithmetic, Theoretical, 1e300, 100, 100, 0, 1, 0.3, 0.05,
                            0.02, 0, 0, Years, 0, 0, &result),
            S_OK);
  EXPECT_EQ(result, 0.0);
}

TEST(Automation, AFailureWithoutACodeNeverReportsAnEarlierOne) {
  Object o;
  double result;
  ForwardStartCall bad;
  bad.alpha = 0;
  ASSERT_EQ(bad.Early(*o.p, &result), AlphaErr);
  const HRESULT status = server::ReportCall(*FindMethod("ForwardStart"), &result,
                                            []() -> double { throw std::bad_alloc(); });
  EXPECT_EQ(status, DISP_E_EXCEPTION);
  ErrorInfo info;
  ASSERT_EQ(GetErrorInfo(info), S_OK);
  EXPECT_EQ(info.description, std::bad_alloc().what());
}

TEST(Automation, ErrorInfoSupportIsAnsweredForTheInterface) {
  Object o;
  ISupportErrorInfo* support = nullptr;
  ASSERT_EQ(o->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IQuantrel), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
  support->Release();
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(o->QueryInterface(IID_IClassFactory, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
}

TEST(Automation, ThreadsGetSerialResultsAndTheirOwnErrors) {
  std::vector<double> serial;
  for (int i = 0; i < 200; ++i) {
    ForwardStartCall call;
    call.S = 50 + i * 0.1;
    call.function = 1 + i % 9;
    call.market = 5;
    serial.push_back(call.Cpp());
  }
  constexpr int kThreads = 4;
  std::vector<std::vector<double>> results(kThreads);
  std::vector<std::string> errors(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      Object o;
      for (int i = 0; i < 200; ++i) {
        ForwardStartCall call;
        call.S = 50 + i * 0.1;
        call.function = 1 + i % 9;
        call.market = 5;
        double r = 0;
        call.Early(*o.p, &r);
        results[t].push_back(r);
      }
      // Each thread fails differently and reads its own failure.
      ForwardStartCall bad;
      if (t % 2)
        bad.alpha = 0;
      else
        bad.S = -1;
      double r;
      bad.Early(*o.p, &r);
      ErrorInfo info;
      GetErrorInfo(info);
      errors[t] = info.description;
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(std::memcmp(results[t].data(), serial.data(), serial.size() * sizeof(double)), 0);
    EXPECT_EQ(errors[t],
              t % 2 ? "The Alpha must be greater than 0." : "AssetPrice must be greater than 0.");
  }
}

// --- The C interface's late-bound call ---

TEST(CInterface, InvokeByNameWithNamedOrPositionalValues) {
  const char* names[] = {"OptionType", "OptionFunction", "AssetPrice", "TimeStart", "TimeExpire",
                         "Volatility", "InterestRate",   "YieldRate",  "Alpha",     "TimeFormat"};
  const double values[] = {1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 1};
  double named = 0, positional = 0;
  ASSERT_EQ(Quantrel_Invoke("ForwardStart", 10, names, values, &named), 0);
  const double all[] = {1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, 1};
  ASSERT_EQ(Quantrel_Invoke("ForwardStart", 11, nullptr, all, &positional), 0);
  const double expected =
      ForwardStart(CallOption, Theoretical_FS, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, Years);
  EXPECT_EQ(named, expected);
  EXPECT_EQ(positional, expected);
}

TEST(CInterface, ErrorsNameTheMethodOrInput) {
  double result = 0;
  const double values[] = {1, 1, 60};
  EXPECT_EQ(Quantrel_Invoke("Nope", 3, nullptr, values, &result), DISP_E_UNKNOWNNAME);
  EXPECT_STREQ(Quantrel_ErrorDescription(), "Unknown method Nope.");
  EXPECT_EQ(Quantrel_Invoke("ForwardStart", 3, nullptr, values, &result), DISP_E_PARAMNOTOPTIONAL);
  EXPECT_STREQ(Quantrel_ErrorDescription(), "Required input TimeStart is missing.");
  const char* names[] = {"OptionType", "Bogus"};
  EXPECT_EQ(Quantrel_Invoke("ForwardStart", 2, names, values, &result), DISP_E_UNKNOWNNAME);
  EXPECT_STREQ(Quantrel_ErrorDescription(), "Unknown input Bogus of ForwardStart.");
  const double bad[] = {1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 0};
  EXPECT_EQ(Quantrel_Invoke("ForwardStart", 9, nullptr, bad, &result), AlphaErr);
  EXPECT_STREQ(Quantrel_ErrorDescription(), "The Alpha must be greater than 0.");
  EXPECT_EQ(Quantrel_ErrorCode(), AlphaErr);
  EXPECT_EQ(Quantrel_ForwardStart(1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, 1, 0, 0, nullptr),
            E_POINTER);
}

// An unknown method is reported as such whatever its named inputs; a call refused for a NULL
// pointer describes itself, not the failure an earlier call left on the thread.
TEST(CInterface, AnUnknownMethodOrANullPointerIsDescribedAsItself) {
  double result = 0;
  const char* names[] = {"Volatility", "Alpha"};
  const double values[] = {0.3, 1.1};
  EXPECT_EQ(Quantrel_Invoke("NoSuch", 2, names, values, &result), DISP_E_UNKNOWNNAME);
  EXPECT_STREQ(Quantrel_ErrorDescription(), "Unknown method NoSuch.");
  const char* missing[] = {"Volatility", nullptr};
  struct Case {
    const char* description;
    std::function<int32_t()> call;
  };
  const Case cases[] = {
      {"Result is NULL.",
       [] {
         return Quantrel_ForwardStart(1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 1.1, 0, 1, 0, 0, nullptr);
       }},
      {"The method name is NULL.",
       [&] { return Quantrel_Invoke(nullptr, 2, names, values, &result); }},
      {"Result is NULL.",
       [&] { return Quantrel_Invoke("ForwardStart", 2, names, values, nullptr); }},
      {"The count of inputs is negative.",
       [&] { return Quantrel_Invoke("ForwardStart", -1, names, values, &result); }},
      {"The values are NULL.",
       [&] { return Quantrel_Invoke("ForwardStart", 2, names, nullptr, &result); }},
      {"The name of input 1 is NULL.",
       [&] { return Quantrel_Invoke("ForwardStart", 2, missing, values, &result); }},
  };
  for (const Case& c : cases) {
    Object object;  // an early-bound failure leaves its description on the thread
    ASSERT_EQ(object->ForwardStart(1, 1, 60, 0.25, 1, 0.3, 0.08, 0.04, 0, 0, 1, 0, 0, &result),
              AlphaErr);
    EXPECT_EQ(c.call(), E_POINTER) << c.description;
    EXPECT_EQ(Quantrel_ErrorCode(), E_POINTER);
    EXPECT_STREQ(Quantrel_ErrorDescription(), c.description);
  }
}

// --- The binding table against the catalogue ---

TEST(Bindings, MatchTheCatalogueInNamesTypesAndOrder) {
  ASSERT_FALSE(Bindings().empty());
  for (const MethodBinding& b : Bindings()) {
    ASSERT_NE(b.method, nullptr);
    ASSERT_EQ(b.isDouble.size(), b.method->inputs.size()) << b.method->name;
    std::string names = "(";
    for (size_t i = 0; i < b.method->inputs.size(); ++i) {
      const InputSpec& in = b.method->inputs[i];
      EXPECT_EQ(b.isDouble[i], in.type == InputType::Double) << b.method->name << "." << in.name;
      names += (i ? ", " : "") + std::string(in.name);
    }
    EXPECT_EQ(names + ")", b.parameterNames) << b.method->name;
  }
}

}  // namespace
}  // namespace quantrel
