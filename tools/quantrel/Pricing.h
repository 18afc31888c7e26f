// Pricing one contract from text: input names and values as a person types them, resolved
// against the interface catalogue and priced through the automation layer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "quantrel/automation.h"
#include "quantrel/bindings.h"
#include "quantrel/catalogue.h"

namespace quantrel::cli {

struct Outcome {
  double result = 0;
  HRESULT status = S_OK;
  std::string message;
  bool ok() const { return status == S_OK; }
};

// The text without the blanks (spaces and tabs) around it: they are not part of a cell or a name.
inline std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// A method that can be priced (its model exists), by name in any case; nullptr otherwise.
const MethodBinding* FindAvailableMethod(std::string_view name);

// Reads one input: a number for an amount or a count (counts must be whole), a member name or a
// whole number for an enumeration. On failure `error` says what is wrong, naming the input.
bool ParseInput(const InputSpec& input, std::string_view text, Argument& out, std::string& error);

// Prices with the inputs in interface order; an empty optional is an omitted input. A seed is the
// Monte Carlo seed of this one call (without one the thread's setting holds: the clock by default).
Outcome Price(const MethodBinding& binding, std::span<const std::optional<Argument>> inputs,
              std::optional<uint32_t> seed = std::nullopt);

// Prices from "Name=Value" pairs (names in any case).
Outcome PriceFromAssignments(const MethodBinding& binding, std::span<const std::string> assignments,
                             std::optional<uint32_t> seed = std::nullopt);

// Reads a Monte Carlo seed: a whole number from 0 to 4294967295. On failure `error` says so.
bool ParseSeed(std::string_view text, uint32_t& seed, std::string& error);

// Shortest text that reads back as the same double.
std::string FormatNumber(double value);
// Appends FormatNumber(value).
void AppendNumber(std::string& out, double value);
// "0" for success, else the status in hexadecimal ("0x80050006").
std::string FormatStatus(HRESULT status);
// The status's symbolic name: an enumErrCodes member or an automation status; "" if unknown.
std::string StatusName(HRESULT status);

// Describes an input for help text: "double", "int32" or the enumeration with its members.
std::string DescribeType(const InputSpec& input);
// What an omitted optional input stands for ("0 (Days)", "1.0").
std::string DescribeDefault(const InputSpec& input);

}  // namespace quantrel::cli
