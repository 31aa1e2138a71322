#pragma once

// Owners for the GLib objects the bridge's libflatpak and PackageKit code
// holds, so that every way out of a function releases them. Include after
// the GLib-based library's own header.

#include <glib-object.h>

#include <memory>

namespace packagesbridge {

template <typename T> struct GObjectUnref
{
    void operator()(T* object) const
    {
        if (object != nullptr)
            g_object_unref(object);
    }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, GObjectUnref<T>>;

struct ErrorFree
{
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

struct PtrArrayUnref
{
    void operator()(GPtrArray* array) const
    {
        if (array != nullptr)
            g_ptr_array_unref(array);
    }
};
using PtrArrayPtr = std::unique_ptr<GPtrArray, PtrArrayUnref>;

} // namespace packagesbridge
