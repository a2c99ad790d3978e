#include "winapi/LastError.h"

#include <string_view>

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;

struct Message {
  DWORD code;
  std::u16string_view text;
};

constexpr Message kMessages[] = {
    {ERROR_SUCCESS, u"The operation completed successfully."},
    {ERROR_FILE_NOT_FOUND, u"The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, u"The system cannot find the path specified."},
    {ERROR_ACCESS_DENIED, u"Access is denied."},
    {ERROR_INVALID_HANDLE, u"The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, u"Not enough memory resources are available to process this command."},
    {ERROR_BAD_FORMAT, u"An attempt was made to load a program with an incorrect format."},
    {ERROR_INVALID_PARAMETER, u"The parameter is incorrect."},
    {ERROR_INSUFFICIENT_BUFFER, u"The data area passed to a system call is too small."},
    {ERROR_MOD_NOT_FOUND, u"The specified module could not be found."},
    {ERROR_PROC_NOT_FOUND, u"The specified procedure could not be found."},
    {ERROR_BAD_EXE_FORMAT, u"%1 is not a valid Win32 application."},
    {ERROR_RESOURCE_DATA_NOT_FOUND, u"The specified image file did not contain a resource section."},
    {ERROR_RESOURCE_TYPE_NOT_FOUND, u"The specified resource type cannot be found in the image file."},
    {ERROR_RESOURCE_NAME_NOT_FOUND, u"The specified resource name cannot be found in the image file."},
};
}  // namespace

DWORD GetLastError() noexcept { return lastError; }

void SetLastError(DWORD code) noexcept { lastError = code; }

std::u16string SysErrorMessage(DWORD code) {
  for (const Message& m : kMessages) {
    if (m.code == code) return std::u16string(m.text);
  }
  std::u16string text = u"Unknown error (";
  std::string digits = std::to_string(code);
  text.append(digits.begin(), digits.end());
  text += u").";
  return text;
}
