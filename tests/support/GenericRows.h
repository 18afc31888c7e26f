// The contracts of the checks every model must pass (tests/models/Generic_test.cpp): each model
// family lists its rows in its own folder (tests/models/<family>/GenericRows.cpp) and registers
// them with RegisterRows.
#pragma once

#include <string>
#include <vector>

namespace quantrel::testing {

struct Row {
  const char* method;
  std::string contract;  // Name=Value pairs, later ones overriding earlier ones
  // Implied round trips: "Member=start ..." prices the contract, then asks for the member's
  // implied input from `start`; it must come back to the contract's own value.
  std::string implied = "";
  double tolerance = 1e-5;      // sensitivities, relative to 1 + |difference|
  const char* times = nullptr;  // what Theta moves; default every Time* input but TimeFormat
  // The first and second strike of the strike codes; none for a model without a strike.
  const char* strikes = "StrikePrice";
  const char* skip = "";     // members whose sensitivity is the model's own
  bool repriceOnly = false;  // the implied input need not be unique
  // Where the model names an input otherwise than the member names say: "Name=Input" pairs, such
  // as "AssetPrice=ValueFirm" for a model whose Delta moves ValueFirm.
  const char* inputs = "";
};

// Every registered row, by family in registration order.
inline std::vector<Row>& GenericRows() {
  static std::vector<Row> rows;
  return rows;
}
inline bool RegisterRows(std::vector<Row> rows) {
  GenericRows().insert(GenericRows().end(), rows.begin(), rows.end());
  return true;
}

// A contract written as `base` with some inputs changed.
inline std::string Varied(const char* base, const char* changes = "") {
  return std::string(base) + " " + changes;
}

}  // namespace quantrel::testing
