// Every built method, called every way a client can call it, on the example books' rows:
// the C++ function, the early-bound method, the late-bound call with named arguments, the C
// function and the C late-bound call all give the same bits.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <sstream>
#include <tuple>

#include "quantrel/automation.h"
#include "quantrel/quantrel.h"
#include "quantrel/quantrel_c.h"
#include "tools/quantrel/Batch.h"
#include "tools/quantrel/Csv.h"
#include "tools/quantrel/Pricing.h"

namespace quantrel {
namespace {

template <class T>
T Get(const Argument& a) {
  if constexpr (std::is_same_v<T, double>) {
    return a.d;
  } else {
    return a.i;
  }
}

// Calls a function with the first N parameters taken from the arguments, then `tail...`.
template <class R, class... P, class... Tail>
R CallWith(R (*f)(P...), std::span<const Argument> args, Tail... tail) {
  constexpr size_t N = sizeof...(P) - sizeof...(Tail);
  using Params = std::tuple<P...>;
  return [&]<size_t... I>(std::index_sequence<I...>) {
    return f(Get<std::tuple_element_t<I, Params>>(args[I])..., tail...);
  }
  (std::make_index_sequence<N>{});
}

template <class... P>
HRESULT CallMember(IQuantrel& o, HRESULT (IQuantrel::*m)(P...), std::span<const Argument> args,
                   double* result) {
  using Params = std::tuple<P...>;
  return [&]<size_t... I>(std::index_sequence<I...>) {
    return (o.*m)(Get<std::tuple_element_t<I, Params>>(args[I])..., result);
  }
  (std::make_index_sequence<sizeof...(P) - 1>{});
}

struct Entry {
  std::function<double(std::span<const Argument>)> cpp;
  std::function<int32_t(std::span<const Argument>, double*)> c;
  std::function<HRESULT(IQuantrel&, std::span<const Argument>, double*)> early;
};

std::map<std::string, Entry> Entries() {
  std::map<std::string, Entry> entries;
#define QUANTREL_METHOD(name, params, args)                                                    \
  entries[#name] = {                                                                           \
      [](std::span<const Argument> a) {                                                        \
        return CallWith(&quantrel::name, a, static_cast<int32_t*>(nullptr), false, false);     \
      },                                                                                       \
      [](std::span<const Argument> a, double* r) { return CallWith(&Quantrel_##name, a, r); }, \
      [](IQuantrel& o, std::span<const Argument> a, double* r) {                               \
        return CallMember(o, &IQuantrel::name, a, r);                                          \
      }};
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD
  return entries;
}

TEST(AllMethods, EveryWayOfCallingGivesTheSameBits) {
  const MonteCarloSeed seed(20261208);  // every way of calling draws the same random numbers
  const std::map<std::string, Entry> entries = Entries();
  IQuantrel* object = nullptr;
  ASSERT_EQ(CreateQuantrel(&object), S_OK);

  std::map<std::string, int> covered;
  for (const cli::ExampleBook& book : cli::ExampleBooks()) {
    std::istringstream in(book.text);
    cli::CsvReader reader(in);
    cli::CsvRecord header, row;
    ASSERT_TRUE(reader.Next(header));
    while (reader.Next(row)) {
      if (row.blank()) continue;
      const MethodBinding* binding = cli::FindAvailableMethod(row.fields[1]);
      ASSERT_NE(binding, nullptr) << row.fields[1];
      const MethodSpec& described = *binding->method;
      // The row's inputs, in interface order, with defaults for omitted ones.
      std::vector<Argument> args(described.inputs.size());
      std::vector<NamedArgument> named;
      std::vector<const char*> names;
      std::vector<double> values;
      for (size_t i = 0; i < described.inputs.size(); ++i) {
        const InputSpec& input = described.inputs[i];
        std::optional<std::string> cell;
        for (size_t c = 0; c < header.fields.size(); ++c) {
          if (EqualsIgnoreCase(header.fields[c], input.name) && !row.fields[c].empty()) {
            cell = row.fields[c];
          }
        }
        if (cell) {
          std::string error;
          ASSERT_TRUE(cli::ParseInput(input, *cell, args[i], error)) << error;
        } else if (input.type == InputType::Double) {
          args[i].d = input.defaultValue;
        } else {
          args[i].i = static_cast<int32_t>(input.defaultValue);
        }
        const double value = input.type == InputType::Double ? args[i].d : args[i].i;
        if (cell) {
          named.push_back({input.name, Variant::Of(value)});
          names.push_back(input.name);
          values.push_back(value);
        }
      }
      const Entry& entry = entries.at(described.name);
      double cpp = 0;
      try {
        cpp = entry.cpp(args);
      } catch (const PricingError&) {
        continue;  // rows meant to fail
      }
      double early = -1, late = -2, c = -3, cLate = -4;
      ASSERT_EQ(entry.early(*object, args, &early), S_OK) << row.fields[0];
      ASSERT_EQ(InvokeByName(*object, described.name, {}, named, &late, nullptr), S_OK)
          << row.fields[0];
      ASSERT_EQ(entry.c(args, &c), 0) << row.fields[0];
      ASSERT_EQ(Quantrel_Invoke(described.name, static_cast<int32_t>(names.size()), names.data(),
                                values.data(), &cLate),
                0)
          << row.fields[0];
      for (double other : {early, late, c, cLate}) {
        EXPECT_EQ(std::memcmp(&other, &cpp, sizeof cpp), 0)
            << row.fields[0] << ": " << other << " against " << cpp;
      }
      ++covered[described.name];
    }
  }
  object->Release();
  for (const MethodBinding& b : Bindings()) {
    EXPECT_GT(covered[b.method->name], 0)
        << b.method->name << " has no priced row in the example books";
  }
}

}  // namespace
}  // namespace quantrel
