// Base64 (RFC 2045 alphabet, no line breaks) through the CryptoAPI.
#pragma once

#include <string>

namespace installer {

std::string Base64(const std::string& bytes);

}  // namespace installer
