// ZRGetChannelVariables and ZRSetChannelVariables: a channel's named variables as numbers or
// texts.
#include "client_objects.h"
#include "client_pointer.h"
#include "com_values.h"
#include "exports.h"
#include "ravlin/buffer_list.h"
#include "ravlin/tagged_multi_list.h"

namespace ravlin {

namespace {

using comsupport::ComPtr;
using comsupport::Variant;

ComPtr<IZorvaneChannelVariableCollection> VariablesOf(DWORD channel_id) {
  ComPtr<IZorvaneChannel4_2> channel = FindChannel(ThreadClient().get(), channel_id);
  ComPtr<IZorvaneChannelVariableCollection> variables;
  if (!channel || !Ok(channel->get_Variables(variables.put()))) variables.reset();
  return variables;
}

ComPtr<IZorvaneChannelVariable> Item(IZorvaneChannelVariableCollection* variables, const char* name) {
  ComPtr<IZorvaneChannelVariable> variable;
  Variant index{std::string(name)};
  if (!Ok(variables->get_Item(*index.get(), variable.put()))) variable.reset();
  return variable;
}

int GetVariables(DWORD channel_id, BUFFER_LIST& names, TAGGED_MULTI_LIST& values) {
  ComPtr<IZorvaneChannelVariableCollection> variables = VariablesOf(channel_id);
  if (!variables) return 0;
  for (long i = 0; i < names.GetCount(); ++i) {
    QMBuffer* name = names.GetBuffer(i);
    if (!name) return 0;
    ComPtr<IZorvaneChannelVariable> variable = Item(variables.get(), name->GetText());
    Variant value;
    if (!variable || !Ok(variable->get_Value(value.put()))) return 0;
    if (IsIntegerVariant(*value.get())) {
      long number = 0;
      if (!VariantToLong(*value.get(), number) || !values.AddNumber(name->GetText(), number)) return 0;
    } else {
      std::string text;
      if (!VariantToText(*value.get(), text) || !values.AddText(name->GetText(), text.c_str())) return 0;
    }
  }
  return 1;
}

int SetVariables(DWORD channel_id, TAGGED_MULTI_LIST& values) {
  ComPtr<IZorvaneChannelVariableCollection> variables = VariablesOf(channel_id);
  if (!variables) return 0;
  for (long i = 0; i < values.GetCount(); ++i) {
    QMBuffer name;
    if (!values.GetName(i, name)) return 0;
    Variant value;
    if (values.GetTag(i) == TAGGED_MULTI_LIST::TAG_NUMBER) {
      long number = 0;
      if (!values.GetNumber(i, name, number)) return 0;
      value = Variant(number);
    } else {
      QMBuffer text;
      if (!values.GetText(i, text)) return 0;
      value = Variant(std::string(text.GetText()));
    }
    ComPtr<IZorvaneChannelVariable> variable = Item(variables.get(), name.GetText());
    if (!variable || !Ok(variable->put_Value(*value.get()))) return 0;
  }
  return Ok(variables->Commit()) ? 1 : 0;
}

}  // namespace

}  // namespace ravlin

extern "C" int ZRGetChannelVariables(DWORD channel_id, BUFFER_LIST& names, TAGGED_MULTI_LIST& values) {
  return ravlin::Guarded([&] { return ravlin::GetVariables(channel_id, names, values); });
}

extern "C" int ZRSetChannelVariables(DWORD channel_id, TAGGED_MULTI_LIST& values) {
  return ravlin::Guarded([&] { return ravlin::SetVariables(channel_id, values); });
}
