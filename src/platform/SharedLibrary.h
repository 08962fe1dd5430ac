#pragma once

#include "platform/Result.h"

#include <QString>

#include <dlfcn.h>

namespace tevo {

// A library loaded when first needed rather than linked, so that start-up does not pay for it.
// The library's symbols stay local: they take no part in resolving anyone else's.
namespace SharedLibrary {

// The handle of `file` (never null), or an error whose message is what the loader said.
Result<void*> open(const char* file);

// Points `function` at the symbol `name` of `handle`; false when the library has none.
template <typename Function> bool resolve(void* handle, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(handle, name));
    return function != nullptr;
}

} // namespace SharedLibrary

} // namespace tevo
