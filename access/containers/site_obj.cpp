#include "ravlin/site_obj.h"

CSiteObj::CSiteObj()
    : channel_id(0),
      reserved(0),
      subscribed(0),
      type_flags(0),
      state_flags(0),
      attribute_flags(0),
      general_flags(0),
      time_added(0),
      keyword_matches(-1) {}

CSiteObj::CSiteObj(const CSiteObj& other) = default;

CSiteObj& CSiteObj::operator=(const CSiteObj& other) = default;

CSiteObj::~CSiteObj() = default;
