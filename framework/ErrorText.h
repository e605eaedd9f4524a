#pragma once

#include <string>

// The error display ends a message with a full stop unless its last character already is a
// full stop or something that sorts at or below it (a space, "!", ")").
inline std::wstring WithFullStop(std::wstring message) {
  if (!message.empty() && message.back() > L'.') message += L'.';
  return message;
}
