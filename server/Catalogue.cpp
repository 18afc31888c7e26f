// The catalogue of the published interface, answered from its constant tables.
#include "quantrel/catalogue.h"

#include <cstdio>
#include <functional>
#include <iterator>
#include <vector>

#include "core/Published.h"
#include "quantrel/guid.h"

namespace quantrel {

namespace {

// Catalogue entries by name as automation compares names (ASCII letters in any case), each within
// a scope (the enumeration of a member): a look-up costs one hash and, mostly, one comparison.
template <class Entry>
class NameIndex {
 public:
  // `entries` yields (scope, entry) pairs; of two entries that share a name in a scope, the first
  // is found.
  template <class Fill>
  explicit NameIndex(Fill fill) {
    std::vector<std::pair<const void*, const Entry*>> entries;
    fill([&](const void* scope, const Entry& e) { entries.emplace_back(scope, &e); });
    size_t size = 16;
    while (size < 2 * entries.size()) size *= 2;
    slots_.resize(size);
    for (const auto& [scope, entry] : entries) {
      if (!Find(scope, entry->name)) slots_[FreeSlot(scope, entry->name)] = {scope, entry};
    }
  }

  const Entry* Find(const void* scope, std::string_view name) const noexcept {
    for (size_t i = Hash(scope, name);; ++i) {
      const Slot& slot = slots_[i & (slots_.size() - 1)];
      if (!slot.entry) return nullptr;
      if (slot.scope == scope && EqualsIgnoreCase(slot.entry->name, name)) return slot.entry;
    }
  }

 private:
  struct Slot {
    const void* scope = nullptr;
    const Entry* entry = nullptr;
  };

  size_t Hash(const void* scope, std::string_view name) const noexcept {
    uint64_t h = 14695981039346656037ull ^ reinterpret_cast<uintptr_t>(scope);
    for (char c : name) {
      h = (h ^ static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c)) *
          1099511628211ull;
    }
    return static_cast<size_t>(h ^ (h >> 29));
  }

  size_t FreeSlot(const void* scope, std::string_view name) const {
    size_t i = Hash(scope, name);
    while (slots_[i & (slots_.size() - 1)].entry) ++i;
    return i & (slots_.size() - 1);
  }

  std::vector<Slot> slots_;
};

const NameIndex<MethodSpec>& MethodIndex() {
  static const NameIndex<MethodSpec> index([](auto add) {
    for (const MethodSpec& m : published::kMethods) add(nullptr, m);
  });
  return index;
}

const NameIndex<EnumerationSpec>& EnumerationIndex() {
  static const NameIndex<EnumerationSpec> index([](auto add) {
    for (const EnumerationSpec& e : published::kEnumerations) add(nullptr, e);
  });
  return index;
}

const NameIndex<EnumMember>& MemberIndex() {
  static const NameIndex<EnumMember> index([](auto add) {
    for (const EnumerationSpec& e : published::kEnumerations) {
      for (const EnumMember& m : e.members) add(&e, m);
    }
  });
  return index;
}

bool InCatalogue(const EnumerationSpec& e) {
  return std::less_equal<>()(std::begin(published::kEnumerations), &e) &&
         std::less<>()(&e, std::end(published::kEnumerations));
}

}  // namespace

std::string ToString(const Guid& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.data1), g.data2, g.data3, g.data4[0], g.data4[1],
                g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return text;
}

std::span<const MethodSpec> Methods() noexcept {
  return published::kMethods;
}

const MethodSpec* FindMethod(std::string_view name) noexcept {
  return MethodIndex().Find(nullptr, name);
}

const MethodSpec* FindMethodByDispatchId(int32_t dispatchId) noexcept {
  for (const MethodSpec& m : published::kMethods) {
    if (m.dispatchId == dispatchId) return &m;
  }
  return nullptr;
}

std::span<const EnumerationSpec> Enumerations() noexcept {
  return published::kEnumerations;
}

const EnumerationSpec* FindEnumeration(std::string_view name) noexcept {
  return EnumerationIndex().Find(nullptr, name);
}

const EnumMember* FindMember(const EnumerationSpec& enumeration, std::string_view name) noexcept {
  if (InCatalogue(enumeration)) return MemberIndex().Find(&enumeration, name);
  for (const EnumMember& m : enumeration.members) {
    if (EqualsIgnoreCase(m.name, name)) return &m;
  }
  return nullptr;
}

std::span<const ErrorSpec> ErrorCodes() noexcept {
  return published::kErrors;
}

const char* ErrorName(int32_t code) noexcept {
  const ErrorSpec* e = published::Error(code);
  return e ? e->name : nullptr;
}

const char* ErrorDescription(int32_t code) noexcept {
  const ErrorSpec* e = published::Error(code);
  return e ? e->description : nullptr;
}

}  // namespace quantrel
