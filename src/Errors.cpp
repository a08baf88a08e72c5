#include "Errors.h"

#include <new>

#include "os/Machine.h"

std::string ErrorKindName(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const ESetupError& e) {
    return std::string(e.KindName());
  } catch (const std::bad_alloc&) {
    return "EOutOfMemory";
  } catch (const std::exception&) {
    return "EExternal";
  } catch (...) {
    return "EUnknown";
  }
}

bool IsQuietError(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
    return true;
  } catch (...) {
    return false;
  }
}

void ShowErrorReport(const std::exception_ptr& error) {
  const std::string text = "Exception " + ErrorKindName(error);
  os::Machine().MessageBoxA(0, text, std::nullopt, os::kMbTaskModal | os::kMbIconError | os::kMbOk);
}
