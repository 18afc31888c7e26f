// The public arguments of every available method as a struct with the published input names,
// generated from the methods list, and the entry each model unit defines for them. The public
// functions (models/Entries.cpp) pack their arguments into these structs, so a model binds its
// inputs by name and no signature is written out again.
#pragma once

#include <cstdint>
#include <string_view>
#include <tuple>

#ifndef QUANTREL_UNPAREN
#define QUANTREL_UNPAREN(...) __VA_ARGS__
#endif

// QUANTREL_FOR_EACH(macro, a, b, c) expands to macro(a) macro(b) macro(c), for up to 256 items.
#define QUANTREL_PARENS ()
#define QUANTREL_EXPAND(...) QUANTREL_EXPAND4(QUANTREL_EXPAND4(QUANTREL_EXPAND4(__VA_ARGS__)))
#define QUANTREL_EXPAND4(...) QUANTREL_EXPAND3(QUANTREL_EXPAND3(QUANTREL_EXPAND3(__VA_ARGS__)))
#define QUANTREL_EXPAND3(...) QUANTREL_EXPAND2(QUANTREL_EXPAND2(QUANTREL_EXPAND2(__VA_ARGS__)))
#define QUANTREL_EXPAND2(...) QUANTREL_EXPAND1(QUANTREL_EXPAND1(QUANTREL_EXPAND1(__VA_ARGS__)))
#define QUANTREL_EXPAND1(...) __VA_ARGS__
#define QUANTREL_FOR_EACH(macro, ...) \
  __VA_OPT__(QUANTREL_EXPAND(QUANTREL_FOR_EACH_NEXT(macro, __VA_ARGS__)))
#define QUANTREL_FOR_EACH_NEXT(macro, first, ...) \
  macro(first) __VA_OPT__(QUANTREL_FOR_EACH_AGAIN QUANTREL_PARENS(macro, __VA_ARGS__))
#define QUANTREL_FOR_EACH_AGAIN() QUANTREL_FOR_EACH_NEXT

namespace quantrel::core {

#define QUANTREL_ARGUMENT_FIELD(declaration) declaration;
#define QUANTREL_METHOD(name, params, args)                                                 \
  struct name##Arguments {                                                                  \
    static constexpr std::string_view kMethod = #name;                                      \
    QUANTREL_FOR_EACH(QUANTREL_ARGUMENT_FIELD, QUANTREL_UNPAREN params)                     \
    /* every input in interface order, for checks that walk them all */                     \
    auto Values() const { return std::tie(QUANTREL_UNPAREN args); }                         \
  };                                                                                        \
  double Enter(const name##Arguments& arguments, int32_t* errorCode, bool rawSensitivities, \
               bool skipValidation);
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD
#undef QUANTREL_ARGUMENT_FIELD

}  // namespace quantrel::core
