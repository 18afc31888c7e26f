// The C interface over the early-bound methods and the late-bound call.
#include "quantrel/quantrel_c.h"

#include <string>
#include <vector>

#include "quantrel/numerical.h"
#include "server/ExoticOptionsImpl.h"

namespace quantrel::server {
namespace {

struct CError {
  int32_t code = 0;
  ErrorInfo info;
};

CError& ThreadError() {
  thread_local CError error;
  return error;
}

// Keeps the outcome of a call where the C accessors can read it; a failure takes the error
// information that the call itself installed.
int32_t Record(HRESULT status) {
  CError& error = ThreadError();
  error = {};
  if (status != S_OK) {
    error.code = status;
    GetErrorInfo(error.info);
  }
  return status;
}

// A call refused before it reached any method: its own description, never what an earlier call
// left in the thread's error information.
int32_t RecordRefusal(HRESULT status, const std::string& description) {
  ErrorInfo stale;
  GetErrorInfo(stale);
  CError& error = ThreadError();
  error = {};
  error.code = status;
  error.info.source = kProgId;
  error.info.description = description;
  return status;
}

// Describes a wrong late-bound call, naming the offending input where there is one.
int32_t RecordWrongCall(HRESULT status, const std::string& method, const std::string& input) {
  CError& error = ThreadError();
  error = {};
  error.code = status;
  error.info.source = kProgId;
  const std::string subject = input.empty() ? std::string("the call") : "input " + input;
  switch (status) {
    case DISP_E_UNKNOWNNAME:
      error.info.description = input.empty() ? "Unknown method " + method + "."
                                             : "Unknown input " + input + " of " + method + ".";
      break;
    case DISP_E_BADPARAMCOUNT:
      error.info.description = "Too many inputs for " + method + ".";
      break;
    case DISP_E_PARAMNOTOPTIONAL:
      error.info.description = "Required " + subject + " is missing.";
      break;
    case DISP_E_PARAMNOTFOUND:
      error.info.description = subject + " is given twice or unknown.";
      break;
    case DISP_E_OVERFLOW:
      error.info.description = subject + " is out of range.";
      break;
    default:
      error.info.description = "The call to " + method + " failed.";
      break;
  }
  return status;
}

}  // namespace
}  // namespace quantrel::server

using namespace quantrel;

#define QUANTREL_METHOD(name, params, args)                                     \
  extern "C" int32_t Quantrel_##name(QUANTREL_UNPAREN params, double* Result) { \
    if (!Result) return server::RecordRefusal(E_POINTER, "Result is NULL.");    \
    return server::Record(server::Call##name(QUANTREL_UNPAREN args, Result));   \
  }
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

extern "C" int32_t Quantrel_Invoke(const char* method, int32_t count, const char* const* names,
                                   const double* values, double* Result) {
  if (!method) return server::RecordRefusal(E_POINTER, "The method name is NULL.");
  if (!Result) return server::RecordRefusal(E_POINTER, "Result is NULL.");
  if (count < 0) return server::RecordRefusal(E_POINTER, "The count of inputs is negative.");
  if (count > 0 && !values) return server::RecordRefusal(E_POINTER, "The values are NULL.");
  std::vector<Variant> positional;
  std::vector<NamedArgument> named;
  for (int32_t i = 0; i < count; ++i) {
    if (names) {
      if (!names[i]) {
        return server::RecordRefusal(E_POINTER,
                                     "The name of input " + std::to_string(i) + " is NULL.");
      }
      named.push_back({names[i], Variant::Of(values[i])});
    } else {
      positional.push_back(Variant::Of(values[i]));
    }
  }
  ExcepInfo excepInfo;
  uint32_t argErr = UINT32_MAX;
  const HRESULT status = server::InvokeNamed(server::IdsOfNames, server::InvokeMethod, method,
                                             positional, named, Result, &excepInfo, &argErr);
  if (status == DISP_E_EXCEPTION) {
    // The method itself failed: report its own status and error information.
    server::Record(S_OK);
    auto& error = server::ThreadError();
    error.code = excepInfo.scode;
    error.info = {IID_IQuantrel, excepInfo.source, excepInfo.description, excepInfo.helpFile,
                  excepInfo.helpContext};
    return excepInfo.scode;
  }
  if (status == S_OK) return server::Record(S_OK);

  // A wrong call: name the offending input. argErr is the position of a missing input, else the
  // argument's index in automation order (named ones first in the caller's order, positional
  // ones last to first).
  // An unknown method is reported as such, whatever its arguments.
  std::string input;
  const MethodSpec* described = FindMethod(method);
  if (described && argErr != UINT32_MAX) {
    if (status == DISP_E_PARAMNOTOPTIONAL) {
      if (described && argErr < described->inputs.size()) input = described->inputs[argErr].name;
    } else if (argErr < static_cast<uint32_t>(count)) {
      const size_t position = static_cast<size_t>(count) - 1 - argErr;
      if (names) {
        input = names[argErr];
      } else if (described && position < described->inputs.size()) {
        input = described->inputs[position].name;
      }
    }
  }
  return server::RecordWrongCall(status, method, input);
}

extern "C" int32_t Quantrel_ErrorCode(void) {
  return server::ThreadError().code;
}
extern "C" const char* Quantrel_ErrorDescription(void) {
  return server::ThreadError().info.description.c_str();
}
extern "C" const char* Quantrel_ErrorSource(void) {
  return server::ThreadError().info.source.c_str();
}
extern "C" const char* Quantrel_ErrorHelpFile(void) {
  return server::ThreadError().info.helpFile.c_str();
}
extern "C" int32_t Quantrel_ErrorHelpContext(void) {
  return static_cast<int32_t>(server::ThreadError().info.helpContext);
}

extern "C" void Quantrel_SetSeed(uint32_t seed) {
  SetMonteCarloSeed(seed);
}
extern "C" void Quantrel_ClearSeed(void) {
  ClearMonteCarloSeed();
}
