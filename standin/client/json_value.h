// Fixture values to VARIANTs: a string is a BSTR, an integer VT_I4, true/false VT_BOOL, a
// fraction VT_R8, null VT_EMPTY, an array of strings a BSTR array, another array a VARIANT
// array; {"vt": "VT_DATE", "value": ...} converts the value to any other type.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "comsupport/bstr.h"

namespace standin {

using Json = nlohmann::ordered_json;  // keeps the fixture's order of names

// Throws std::runtime_error naming what could not be converted.
comsupport::Variant JsonToVariant(const Json& value);

// The size of the value a VT_BYREF VARIANT of that type points at; 0 for the types the
// stand-in does not hand out by reference (texts, objects, arrays).
size_t ByReferenceSize(VARTYPE type);

// A SAFEARRAY of BSTR in a VARIANT.
comsupport::Variant StringArray(const std::vector<std::string>& texts);
// A SAFEARRAY of VT_I4 in a VARIANT.
comsupport::Variant LongArray(const std::vector<long>& numbers);
// A SAFEARRAY of VARIANT in a VARIANT, taking copies of the elements.
comsupport::Variant VariantArray(const std::vector<comsupport::Variant>& elements);

// The elements of a one-dimensional array (possibly by reference), its texts or its numbers;
// each throws std::invalid_argument for anything else.
std::vector<comsupport::Variant> ElementsOf(const VARIANT& value);
std::vector<std::string> StringsOf(const VARIANT& value);
std::vector<long> LongsOf(const VARIANT& value);

// Parses JSON text, naming the place of a syntax error.
Json ParseJson(const std::string& text);

}  // namespace standin
