#include "support/LoadedLibraries.h"

#include <dlfcn.h>
#include <link.h>

namespace
{
int Keep(dl_phdr_info* info, size_t, void*)
{
    // Taking a library that is loaded already only raises its count; NODELETE keeps it past every close.
    if (info->dlpi_name && *info->dlpi_name)
        dlopen(info->dlpi_name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}
} // namespace

void KeepLoadedLibraries()
{
    dl_iterate_phdr(Keep, nullptr);
}
