// Marks what the Ravlin library exports: exported when building it (RAVLIN_EXPORTS), imported
// by its users, and plain when its code is linked in statically (RAVLIN_STATIC, for tests).
#pragma once

#if defined(RAVLIN_STATIC)
#define RAVLIN_API
#elif defined(RAVLIN_EXPORTS)
#define RAVLIN_API __declspec(dllexport)
#else
#define RAVLIN_API __declspec(dllimport)
#endif
