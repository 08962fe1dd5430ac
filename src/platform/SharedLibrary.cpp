#include "platform/SharedLibrary.h"

namespace tevo {

void* SharedLibrary::open(const char* file, QString* why)
{
    void* handle = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        *why = QString::fromLocal8Bit(error ? error : "dlopen");
    }
    return handle;
}

} // namespace tevo
