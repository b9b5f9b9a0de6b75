// One owned reference to a Core Foundation object, released with its owner.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <concepts>
#include <utility>

namespace fieldpilot::platform::mac {

template <typename Specific, typename General>
concept MoreSpecificRef =
    !std::same_as<Specific, General> && std::convertible_to<Specific, General>;

// adopt() takes over the reference that a Create or Copy function handed out; retain() adds a
// reference to an object obtained under the Get rule, which the caller does not own otherwise.
template <typename Ref>
class CFRef {
  public:
    CFRef() = default;
    static CFRef adopt(Ref ref) { return CFRef(ref); }
    static CFRef retain(Ref ref) {
        if (ref) {
            CFRetain(ref);
        }
        return CFRef(ref);
    }

    CFRef(CFRef&& other) noexcept : ref_(other.release()) {}
    // A reference to a more specific CF type becomes one to the general type (CFStringRef to
    // CFTypeRef, say), still owned once.
    template <MoreSpecificRef<Ref> Specific>
    CFRef(CFRef<Specific>&& other) noexcept : ref_(other.release()) {}
    CFRef& operator=(CFRef&& other) noexcept {
        std::swap(ref_, other.ref_);
        return *this;
    }
    CFRef(const CFRef&) = delete;
    CFRef& operator=(const CFRef&) = delete;
    ~CFRef() {
        if (ref_) {
            CFRelease(ref_);
        }
    }

    Ref get() const { return ref_; }
    explicit operator bool() const { return ref_ != nullptr; }
    // Gives up ownership: the caller now holds the reference.
    Ref release() { return std::exchange(ref_, nullptr); }

  private:
    explicit CFRef(Ref ref) : ref_(ref) {}

    Ref ref_ = nullptr;
};

}  // namespace fieldpilot::platform::mac
