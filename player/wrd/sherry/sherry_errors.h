#pragma once
// Errors of the Sherry processor. Each carries its finished message; the processor catches
// them at its top, so a bad script stops itself and nothing else.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace volta::wrd::sherry {

class SError : public std::exception {
 public:
  explicit SError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

// Misuse of the processor or the stream: "Internal: <text>".
class SErrorInternal : public SError {
 public:
  explicit SErrorInternal(std::string_view text);
};

// A palette that is missing or already there: "<offset>: <text> #<id>."
class SErrorPalette : public SError {
 public:
  SErrorPalette(std::uint32_t offset, std::string_view text, int id);
};

// A virtual screen that is missing or already there: "<offset>: <text> #<id>."
class SErrorScreen : public SError {
 public:
  SErrorScreen(std::uint32_t offset, std::string_view text, int id);
};

// Malformed file content: "<offset>: <text>".
class SErrorInput : public SError {
 public:
  SErrorInput(std::uint32_t offset, std::string_view text);
};

// Malformed text of a text event: "<offset>: <text>".
class SErrorTextInput : public SError {
 public:
  SErrorTextInput(std::uint32_t offset, std::string_view text);
};

// A point outside its screen: "<offset>: Invalid point (x,y) Invalid Point(x,y)".
class SErrorPoint : public SError {
 public:
  SErrorPoint(std::uint32_t offset, int x, int y);
};

// A rectangle outside its screen: "<offset>: Invalid rectangle (x1,y1)-(x2,y2) Invalid Rectangle(...)".
class SErrorRect : public SError {
 public:
  SErrorRect(std::uint32_t offset, int x1, int y1, int x2, int y2);
};

}  // namespace volta::wrd::sherry
