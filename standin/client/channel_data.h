// The array answers of EnumStoryData, EnumProperties and EnumEntries, built from the model.
#pragma once

#include "comsupport/bstr.h"
#include "model.h"

namespace standin {

// { {info names, info values}, {story ids, field names, field values},
//   {story ids, attribute names, attribute values} }, every array of VARIANT. A story's title
// is its field "Title" and its package its field "Vessik Id" unless the fixture gives them.
comsupport::Variant StoryData(const Channel& channel, bool unread_only);

// { codes (VT_I4 array), values (VARIANT array) } for the asked property bits, in bit order.
comsupport::Variant ChannelProperties(const Model& model, const Channel& channel, long codes);

// Entry ids (VT_I4 array), or per entry { codes, values } in a VARIANT array.
comsupport::Variant EntryIds(const Model& model, long which);
comsupport::Variant EntryProperties(const Model& model, long which);

bool EntrySelected(const DirectoryEntry& entry, long which);

}  // namespace standin
