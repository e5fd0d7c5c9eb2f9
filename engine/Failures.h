#pragma once

#include <exception>
#include <string>
#include <utility>

namespace gustrule {

// Base of every failure the engine raises; carries the text the user is shown. It is a
// std::exception, so code that only knows the standard library still catches it; what() gives
// the same text as Message().
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  Exception(const Exception&) = default;
  Exception& operator=(const Exception&) = default;
  ~Exception() override = default;

  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

// A text that does not read as a number. ReadNumber absorbs it and returns its fallback,
// so it never reaches the user.
class EConvertError : public Exception {
public:
  explicit EConvertError(std::string message) : Exception(std::move(message)) {}
};

// A finite non-zero value divided by zero, ln 0, or zero raised to a negative power.
class EZeroDivide : public Exception {
public:
  EZeroDivide() : Exception("Floating point division by zero") {}
};

// 0 / 0, ln of a negative number, or a negative base raised to a non-integral power.
class EInvalidOp : public Exception {
public:
  EInvalidOp() : Exception("Invalid floating point operation") {}
};

// A result beyond the extended range, or a value beyond the double range stored as a double.
class EOverflow : public Exception {
public:
  EOverflow() : Exception("Floating point overflow") {}
};

// The text a failure is shown with: a "." is appended when the message is not empty and its last
// character's code is above that of "." (letters get one; ".", "!", ")" or a blank end the
// message as they are). "Floating point overflow" gives "Floating point overflow.".
inline std::string FailureText(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
    message += '.';
  }
  return message;
}

} // namespace gustrule
