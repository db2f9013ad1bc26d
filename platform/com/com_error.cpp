#include "platform/com/com_error.h"

namespace com {

ComError::ComError(long number, std::string description)
    : std::runtime_error(description), number_(number), description_(std::move(description)) {}

ComError::~ComError() = default;

std::string StandardDescription(long number) {
  switch (number) {
    case kErrInvalidCall: return "Invalid procedure call or argument";
    case kErrOverflow: return "Overflow";
    case kErrOutOfMemory: return "Out of memory";
    case kErrSubscriptOutOfRange: return "Subscript out of range";
    case kErrTypeMismatch: return "Type mismatch";
    case kErrFileNotFound: return "File not found";
    case kErrFileAccess: return "Path/File access error";
    case kErrPathNotFound: return "Path not found";
    case kErrObjectNotSet: return "Object variable or With block variable not set";
    case kErrCannotCreateObject: return "ActiveX component can't create object";
    case kErrNoSuchMember: return "Object doesn't support this property or method";
    case kErrAutomation: return "Automation error";
    default: return "Application-defined or object-defined error";
  }
}

void Raise(long number, std::string description) { throw ComError(number, std::move(description)); }

void Raise(long number) { throw ComError(number, StandardDescription(number)); }

}  // namespace com
