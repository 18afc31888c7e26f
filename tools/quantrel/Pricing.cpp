#include "tools/quantrel/Pricing.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "quantrel/errors.h"
#include "quantrel/numerical.h"

namespace quantrel::cli {

const MethodBinding* FindAvailableMethod(std::string_view name) {
  const MethodSpec* described = FindMethod(name);
  return described ? FindBinding(described->dispatchId) : nullptr;
}

namespace {

std::optional<double> ParseDouble(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int32_t> ParseWhole(std::string_view text) {
  const std::optional<double> value = ParseDouble(text);
  if (!value || *value != std::trunc(*value) || *value < -2147483648.0 || *value > 2147483647.0) {
    return std::nullopt;
  }
  return static_cast<int32_t>(*value);
}

std::string MemberList(const EnumerationSpec& e) {
  std::string out;
  for (const EnumMember& m : e.members) {
    out += (out.empty() ? "" : ", ") + std::string(m.name) + "=" + std::to_string(m.value);
  }
  return out;
}

}  // namespace

bool ParseInput(const InputSpec& input, std::string_view text, Argument& out, std::string& error) {
  std::string quoted = "'";
  quoted.append(text);
  quoted += '\'';
  switch (input.type) {
    case InputType::Double: {
      const std::optional<double> value = ParseDouble(text);
      if (!value) {
        error = std::string("input ") + input.name + ": " + quoted + " is not a number";
        return false;
      }
      out.d = *value;
      return true;
    }
    case InputType::Int32: {
      const std::optional<int32_t> value = ParseWhole(text);
      if (!value) {
        error = std::string("input ") + input.name + ": " + quoted + " is not a whole number";
        return false;
      }
      out.i = *value;
      return true;
    }
    case InputType::Enum: {
      const EnumerationSpec* e = FindEnumeration(input.enumeration);
      if (const EnumMember* m = e ? FindMember(*e, Trim(text)) : nullptr) {
        out.i = m->value;
        return true;
      }
      if (const std::optional<int32_t> value = ParseWhole(text)) {
        out.i = *value;  // a number outside the members is the model's to report
        return true;
      }
      error = std::string("input ") + input.name + ": " + quoted + " is not a member of " +
              input.enumeration + " (" + (e ? MemberList(*e) : "") + ")";
      return false;
    }
  }
  return false;
}

Outcome Price(const MethodBinding& binding, std::span<const std::optional<Argument>> inputs,
              std::optional<uint32_t> seed) {
  const auto& declared = binding.method->inputs;
  // Room on the stack for every method's inputs; a longer list would take the heap.
  std::array<Argument, 32> room;
  std::vector<Argument> more(declared.size() > room.size() ? declared.size() : 0);
  const std::span<Argument> values =
      more.empty() ? std::span<Argument>(room).first(declared.size()) : std::span<Argument>(more);
  for (size_t i = 0; i < declared.size(); ++i) {
    if (i < inputs.size() && inputs[i]) {
      values[i] = *inputs[i];
    } else if (!declared[i].optional) {
      return {0, DISP_E_PARAMNOTOPTIONAL,
              std::string("missing required input ") + declared[i].name};
    } else if (declared[i].type == InputType::Double) {
      values[i].d = declared[i].defaultValue;
    } else {
      values[i].i = static_cast<int32_t>(declared[i].defaultValue);
    }
  }
  Outcome outcome;
  if (seed) {
    const MonteCarloSeed scope(*seed);
    outcome.status = binding.call(values, &outcome.result);
  } else {
    outcome.status = binding.call(values, &outcome.result);
  }
  if (outcome.status != S_OK) {
    ErrorInfo info;
    GetErrorInfo(info);
    outcome.message = info.description;
    outcome.result = 0;
  }
  return outcome;
}

Outcome PriceFromAssignments(const MethodBinding& binding, std::span<const std::string> assignments,
                             std::optional<uint32_t> seed) {
  const auto& declared = binding.method->inputs;
  std::vector<std::optional<Argument>> inputs(declared.size());
  for (const std::string& assignment : assignments) {
    const size_t eq = assignment.find('=');
    if (eq == std::string::npos) {
      return {0, DISP_E_TYPEMISMATCH, "expected Name=Value, got '" + assignment + "'"};
    }
    const std::string_view name = Trim(std::string_view(assignment).substr(0, eq));
    size_t index = declared.size();
    for (size_t i = 0; i < declared.size(); ++i) {
      if (EqualsIgnoreCase(declared[i].name, name)) index = i;
    }
    if (index == declared.size()) {
      return {0, DISP_E_UNKNOWNNAME,
              std::string(binding.method->name) + " has no input '" + std::string(name) + "'"};
    }
    if (inputs[index]) {
      return {0, DISP_E_PARAMNOTFOUND,
              std::string("input ") + declared[index].name + " given twice"};
    }
    Argument value{};
    std::string error;
    if (!ParseInput(declared[index], std::string_view(assignment).substr(eq + 1), value, error)) {
      return {0, DISP_E_TYPEMISMATCH, error};
    }
    inputs[index] = value;
  }
  return Price(binding, inputs, seed);
}

bool ParseSeed(std::string_view text, uint32_t& seed, std::string& error) {
  const std::optional<double> value = ParseDouble(text);
  if (!value || *value != std::trunc(*value) || *value < 0 || *value > 4294967295.0) {
    error = "seed '" + std::string(Trim(text)) + "' is not a whole number from 0 to 4294967295";
    return false;
  }
  seed = static_cast<uint32_t>(*value);
  return true;
}

void AppendNumber(std::string& out, double value) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  out.append(ec == std::errc() ? std::string_view(text, end - text) : std::string_view("nan"));
}

std::string FormatNumber(double value) {
  std::string text;
  AppendNumber(text, value);
  return text;
}

std::string FormatStatus(HRESULT status) {
  if (status == S_OK) return "0";
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(status));
  return text;
}

std::string StatusName(HRESULT status) {
  if (const char* name = ErrorName(status); name && status != 0) return name;
  switch (status) {
    case DISP_E_UNKNOWNNAME:
      return "DISP_E_UNKNOWNNAME";
    case DISP_E_PARAMNOTOPTIONAL:
      return "DISP_E_PARAMNOTOPTIONAL";
    case DISP_E_TYPEMISMATCH:
      return "DISP_E_TYPEMISMATCH";
    case DISP_E_PARAMNOTFOUND:
      return "DISP_E_PARAMNOTFOUND";
    case DISP_E_BADPARAMCOUNT:
      return "DISP_E_BADPARAMCOUNT";
    case DISP_E_EXCEPTION:
      return "DISP_E_EXCEPTION";
    case DISP_E_OVERFLOW:
      return "DISP_E_OVERFLOW";
    default:
      return "";
  }
}

std::string DescribeType(const InputSpec& input) {
  switch (input.type) {
    case InputType::Double:
      return "double";
    case InputType::Int32:
      return "int32";
    case InputType::Enum: {
      const EnumerationSpec* e = FindEnumeration(input.enumeration);
      return std::string(input.enumeration) + " (" + (e ? MemberList(*e) : "") + ")";
    }
  }
  return "";
}

std::string DescribeDefault(const InputSpec& input) {
  if (input.declaredDefault) return FormatNumber(input.defaultValue);
  const std::string value = FormatNumber(input.defaultValue);
  if (input.type == InputType::Enum) {
    if (const EnumerationSpec* e = FindEnumeration(input.enumeration)) {
      for (const EnumMember& m : e->members) {
        if (m.value == static_cast<int32_t>(input.defaultValue)) return value + " (" + m.name + ")";
      }
    }
  }
  return value;
}

}  // namespace quantrel::cli
