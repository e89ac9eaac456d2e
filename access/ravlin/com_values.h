// Conversions between the client's COM values (BSTR, VARIANT, SAFEARRAY) and the library's
// texts, numbers and lists.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "comsupport/bstr.h"
#include "qm/qm_buffer.h"
#include "ravlin/data_list.h"

namespace ravlin {

// Only S_OK counts as success of a client call.
inline bool Ok(HRESULT hr) { return hr == S_OK; }

// A text for a BSTR argument; a null text becomes an empty string.
comsupport::Bstr BstrOf(const char* text);
// Puts a BSTR's text into a buffer; false when the buffer cannot hold it.
bool PutText(QMBuffer& buffer, BSTR text);

// A 32-bit number from a VARIANT (by reference resolved): integers of every width keep their
// low 32 bits, booleans give 1 or 0, anything else goes through VariantChangeType.
bool VariantToLong(const VARIANT& value, long& number);
// A text from a VARIANT: an array of texts is joined with ";", VT_EMPTY is empty, anything else
// goes through VariantChangeType.
bool VariantToText(const VARIANT& value, std::string& text);
// True for the integer types that channel variables keep as numbers.
bool IsIntegerVariant(const VARIANT& value);

// VT_ARRAY | VT_I4 of the list's values.
comsupport::Variant IdArrayVariant(const DATA_LIST& ids);
// VT_ARRAY | VT_BSTR of the texts.
comsupport::Variant TextArrayVariant(const std::vector<std::string>& texts);

// The elements of a one-dimensional SAFEARRAY held by a VARIANT (by reference resolved), each
// copied into a VARIANT of its own. False for anything else.
bool ArrayElements(const VARIANT& value, std::vector<comsupport::Variant>& elements);

}  // namespace ravlin
