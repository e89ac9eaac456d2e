// Marks what the Vinnet library exports: exported when building it (VINNET_EXPORTS), imported
// by its users, and plain when its code is linked in statically (VINNET_STATIC, for tests).
#pragma once

#if defined(VINNET_STATIC)
#define VINNET_API
#elif defined(VINNET_EXPORTS)
#define VINNET_API __declspec(dllexport)
#else
#define VINNET_API __declspec(dllimport)
#endif
