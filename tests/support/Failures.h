// Tables of expected failures for the model tests: each case must fail with exactly its code
// (in the error slot and the exception) and its message, never with a math fault or not at all.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>

#include "quantrel/errors.h"

namespace quantrel::testing {

struct ExpectedFailure {
  int32_t code;
  const char* message;
};

// `call(int32_t* err)` fails with exactly this code, stored in the slot too, and this message.
template <class Call>
void ExpectFailure(Call&& call, ExpectedFailure expected, const char* name) {
  int32_t err = 0;
  try {
    call(&err);
    ADD_FAILURE() << name << ": no failure";
  } catch (const MathFault&) {
    ADD_FAILURE() << name << ": math fault";
  } catch (const PricingError& e) {
    EXPECT_EQ(e.code(), expected.code) << name;
    EXPECT_EQ(err, expected.code) << name;
    EXPECT_STREQ(e.what(), expected.message) << name;
  }
}

// A contract asked for a function. A contract type is a struct of inputs with
// `double operator()(int32_t function, int32_t* err = nullptr, ...) const`.
template <class Contract>
struct FailureCase {
  const char* name;
  Contract contract;
  int32_t function;
  int32_t code;
  const char* message;
};

template <class Contract>
void ExpectFailures(std::initializer_list<FailureCase<Contract>> cases) {
  for (const FailureCase<Contract>& f : cases) {
    ExpectFailure([&](int32_t* err) { return f.contract(f.function, err); }, {f.code, f.message},
                  f.name);
  }
}

// The default contract, changed, asked for a function.
template <class Contract>
struct ChangeFailure {
  const char* name;
  void (*change)(Contract&);
  int32_t function;
  ExpectedFailure expected;
};

template <class Contract>
void ExpectFailures(std::initializer_list<ChangeFailure<Contract>> cases) {
  for (const ChangeFailure<Contract>& k : cases) {
    Contract c;
    k.change(c);
    ExpectFailure([&](int32_t* err) { return c(k.function, err); }, k.expected, k.name);
  }
}

template <class Contract, class Change>
Contract With(Contract c, Change change) {
  change(c);
  return c;
}

}  // namespace quantrel::testing
