// Raising a pricing failure: the code goes to the caller's error slot first, then travels with
// the exception. Every message is checked against the table of raised messages when the library
// is compiled (core/Published.h), so a raise site cannot use a text the table does not list.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/Published.h"
#include "quantrel/errors.h"

namespace quantrel::core {

template <int32_t Code>
struct RaisedText {
  const char* text;
  // A message missing from published::kMessages under this code stops the build here.
  consteval RaisedText(const char* t) : text(t) {
    if (!published::IsRaisedMessage(Code, t)) throw "message not listed in published::kMessages";
  }
};

template <int32_t Code>
[[noreturn]] void Fail(int32_t* errorCode, RaisedText<Code> message) {
  if (errorCode) *errorCode = Code;
  throw PricingError(Code, message.text);
}

}  // namespace quantrel::core
