// Writes the Windows server's interface files from the catalogue, so that neither can drift from
// it: the type library's IDL, and the C++ list of the interface's methods with their parameter
// types as the IDL declares them.
// Built and run on the build machine:
//   quantrel_interface_generator idl|methods OUTPUT
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/Published.h"
#include "quantrel/guid.h"

namespace {

using namespace quantrel;

// "XXXXXXXX-XXXX-...", as IDL writes a GUID: without the braces.
std::string GuidText(const Guid& g) {
  const std::string braced = ToString(g);
  return braced.substr(1, braced.size() - 2);
}

// An enumeration's own GUID, fixed by its name: two 64-bit FNV-1a hashes of the library's
// identifier and the name, shaped as a name-based GUID.
Guid EnumerationGuid(std::string_view name) {
  auto hash = [&](uint64_t seed) {
    uint64_t h = seed;
    auto mix = [&](unsigned char c) {
      h ^= c;
      h *= 0x100000001B3ull;
    };
    for (char c : GuidText(LIBID_Quantrelix)) mix(static_cast<unsigned char>(c));
    for (char c : name) mix(static_cast<unsigned char>(c));
    return h;
  };
  const uint64_t hi = hash(0xCBF29CE484222325ull), lo = hash(0x84222325CBF29CE4ull);
  Guid g{};
  g.data1 = static_cast<uint32_t>(hi >> 32);
  g.data2 = static_cast<uint16_t>(hi >> 16);
  g.data3 = static_cast<uint16_t>((hi & 0x0FFF) | 0x8000);  // version 8: a name-based layout
  for (int i = 0; i < 8; ++i) g.data4[i] = static_cast<uint8_t>(lo >> (56 - 8 * i));
  g.data4[0] = static_cast<uint8_t>((g.data4[0] & 0x3F) | 0x80);
  return g;
}

// The type an input has in the IDL and in the C++ interface the IDL generates.
std::string InputType(const InputSpec& input) {
  switch (input.type) {
    case quantrel::InputType::Double:
      return "double";
    case quantrel::InputType::Int32:
      return "long";
    case quantrel::InputType::Enum:
      return input.enumeration;
  }
  return "double";
}

// A help string as an IDL string literal. The catalogue's texts need no escapes; one that did
// would be a change to look at, not to pass on.
std::string Quoted(std::string_view text) {
  if (text.find_first_of("\"\\\n") != std::string_view::npos) {
    throw std::invalid_argument("a text the IDL cannot hold as it is: " + std::string(text));
  }
  return "\"" + std::string(text) + "\"";
}

void WriteIdl(std::ostream& out) {
  out << "// The Quantrelix type library, generated from the catalogue. Do not edit.\n\n"
         "// Debian's mingw-w64 ships no .idl files: the base interfaces are declared here with\n"
         "// their exact method counts (the vtable offsets follow from them); C++ takes the real\n"
         "// ones from the system headers, which the generated header includes first.\n"
         "typedef long HRESULT;\n\n"
         "[object, local, uuid(00000000-0000-0000-C000-000000000046)]\n"
         "interface IUnknown {\n"
         "  HRESULT QueryInterface([in] long riid, [out] long* object);\n"
         "  unsigned long AddRef();\n"
         "  unsigned long Release();\n"
         "}\n\n"
         "[object, local, uuid(00020400-0000-0000-C000-000000000046)]\n"
         "interface IDispatch : IUnknown {\n"
         "  HRESULT GetTypeInfoCount([out] unsigned int* count);\n"
         "  HRESULT GetTypeInfo([in] unsigned int index, [in] unsigned long lcid,\n"
         "                      [out] long* info);\n"
         "  HRESULT GetIDsOfNames([in] long riid, [in] long names, [in] unsigned int count,\n"
         "                        [in] unsigned long lcid, [out] long* ids);\n"
         "  HRESULT Invoke([in] long id, [in] long riid, [in] unsigned long lcid,\n"
         "                 [in] unsigned short flags, [in] long params, [out] long* result,\n"
         "                 [out] long* excepInfo, [out] unsigned int* argErr);\n"
         "}\n\n";
  char locale[16];
  std::snprintf(locale, sizeof locale, "0x%X", static_cast<unsigned>(kTypeLibraryLocale));
  out << "[\n  uuid(" << GuidText(LIBID_Quantrelix) << "),\n  version(" << kTypeLibraryMajor << "."
      << kTypeLibraryMinor << "),\n  lcid(" << locale << "),\n  helpstring("
      << Quoted(kTypeLibraryHelpString) << "),\n  helpfile(" << Quoted(kHelpFile) << ")\n]\n"
      << "library " << kTypeLibraryName << "\n{\n  importlib(\"stdole2.tlb\");\n\n";

  for (const EnumerationSpec& e : published::kEnumerations) {
    out << "  typedef [uuid(" << GuidText(EnumerationGuid(e.name)) << "), v1_enum] enum " << e.name
        << " {\n";
    for (size_t i = 0; i < e.members.size(); ++i) {
      out << "    " << e.members[i].name << " = " << e.members[i].value
          << (i + 1 < e.members.size() ? ",\n" : "\n");
    }
    out << "  } " << e.name << ";\n\n";
  }
  // The error codes, with their published values; their descriptions are the messages a failed
  // call reports (widl takes no help string on an enumeration member).
  out << "  typedef [uuid(" << GuidText(EnumerationGuid("enumErrCodes"))
      << "), v1_enum] enum enumErrCodes {\n";
  const std::span<const ErrorSpec> errors = published::kErrors;
  for (size_t i = 0; i < errors.size(); ++i) {
    char value[16];
    std::snprintf(value, sizeof value, "0x%08X", static_cast<uint32_t>(errors[i].code));
    out << "    " << errors[i].name << " = " << value << (i + 1 < errors.size() ? ",\n" : "\n");
  }
  out << "  } enumErrCodes;\n\n";

  out << "  [\n    uuid(" << GuidText(IID_IQuantrel)
      << "),\n    helpstring(\"Interface for Quantrelix Object\"),\n"
         "    object, dual, oleautomation\n  ]\n  interface IQuantrel : IDispatch {\n";
  for (const MethodSpec& m : published::kMethods) {
    out << "    [id(" << m.dispatchId << "), helpstring(" << Quoted(m.helpString)
        << "), helpcontext(" << m.helpContext << ")]\n    HRESULT " << m.name << "(";
    for (const InputSpec& input : m.inputs) {
      out << (input.optional ? "[in, optional] " : "[in] ") << InputType(input) << " " << input.name
          << ", ";
    }
    out << "[out, retval] double* Result);\n";
  }
  out << "  };\n\n  [\n    uuid(" << GuidText(CLSID_Quantrel) << "),\n    helpstring("
      << Quoted(kClassDescription)
      << ")\n  ]\n  coclass Quantrel {\n    [default] interface IQuantrel;\n  };\n};\n";
}

// QUANTREL_COM_METHOD(name, (typed parameters), (argument names)), in interface order.
void WriteMethods(std::ostream& out) {
  out << "// The methods of IQuantrel in interface order, generated from the catalogue:\n"
         "// QUANTREL_COM_METHOD(name, (parameters as the type library declares them),\n"
         "// (argument names)). The includer defines QUANTREL_COM_METHOD. Do not edit.\n";
  for (const MethodSpec& m : published::kMethods) {
    std::string params, args;
    for (const InputSpec& input : m.inputs) {
      params += (params.empty() ? "" : ", ") + InputType(input) + " " + input.name;
      args += (args.empty() ? "" : ", ") + std::string(input.name);
    }
    out << "QUANTREL_COM_METHOD(" << m.name << ", (" << params << "), (" << args << "))\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: quantrel_interface_generator idl|methods OUTPUT\n";
    return 2;
  }
  const std::string_view what = argv[1];
  std::ostringstream text;
  try {
    if (what == "idl") {
      WriteIdl(text);
    } else if (what == "methods") {
      WriteMethods(text);
    } else {
      std::cerr << "quantrel_interface_generator: unknown output '" << what << "'\n";
      return 2;
    }
  } catch (const std::exception& e) {
    std::cerr << "quantrel_interface_generator: " << e.what() << "\n";
    return 1;
  }
  std::ofstream file(argv[2], std::ios::binary);
  file << text.str();
  if (!file.flush()) {
    std::cerr << "quantrel_interface_generator: cannot write " << argv[2] << "\n";
    return 3;
  }
  return 0;
}
