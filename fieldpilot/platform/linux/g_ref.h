// Ownership of GLib objects and errors, released with their owner.
#pragma once

#include <glib-object.h>

#include <utility>

namespace fieldpilot::platform::live {

// One reference to a GObject.
template <typename T>
class GRef {
  public:
    GRef() = default;
    static GRef adopt(T* object) { return GRef(object); }
    static GRef retain(T* object) {
        return GRef(object ? static_cast<T*>(g_object_ref(object)) : nullptr);
    }
    GRef(const GRef& other) : GRef(retain(other.object_)) {}
    GRef(GRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GRef& operator=(GRef other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~GRef() {
        if (object_)
            g_object_unref(object_);
    }

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    explicit GRef(T* object) : object_(object) {}
    T* object_ = nullptr;
};

// A string GLib hands over for the caller to free.
struct GFreeDeleter {
    void operator()(void* memory) const { g_free(memory); }
};

}  // namespace fieldpilot::platform::live
