// The client's own objects behind a row: its story (by channel and story id) and its package
// (by the row's VESSIK_ID), and the client calls that writing a state column makes.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "chanbind.h"
#include "comsupport/com_ptr.h"
#include "story_list.h"

namespace chanbind {

// The client's story of the row; throws the client's failure as a COM error.
comsupport::ComPtr<IZorvaneStory> ClientStory(IZorvane4* client, const Row& row);

// The row's package id; 0 when the row names none.
long PackageIdOf(const Row& row, const ColumnMap& columns);

// The client's package by id; null when the client has none of that id.
comsupport::ComPtr<IZorvaneVessik> ClientPackage(IZorvane4* client, long package_id);

// A local file path read from the row leaves it only when the content check lets it (the user
// may be asked); otherwise value becomes FALSE.
void GuardLocalPath(IZorvane4* client, const Row& row, VARIANT* value);

// True for READ, UNREAD, KEEP and STORY_LOCAL: a write to them is passed to the client.
bool IsStateColumn(const std::wstring& title);

// Passes a state column's new value to the client and stores it in the row, READ included
// when UNREAD was written. Throws (storing nothing) when the value is not a boolean or the
// client refused.
void WriteStateColumn(IZorvane4* client, StoryList& list, Row& row, long column, const VARIANT& value);

}  // namespace chanbind
