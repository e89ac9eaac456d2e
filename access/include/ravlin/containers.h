// The containers that cross the boundary between Ravlin and its callers.
#pragma once

#include "qm/qm_buffer.h"
#include "ravlin/buffer_list.h"
#include "ravlin/channel_data.h"
#include "ravlin/channel_info.h"
#include "ravlin/data_list.h"
#include "ravlin/ravlin_api.h"
#include "ravlin/ravlin_object.h"
#include "ravlin/site_obj.h"
#include "ravlin/tagged_multi_list.h"
