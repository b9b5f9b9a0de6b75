#include "geometry_values.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace fieldpilot::platform::mac {
namespace {

bool fitsIndex(double number) {
    constexpr double kLowest = static_cast<double>(std::numeric_limits<CFIndex>::min());
    return std::isfinite(number) && number >= kLowest && number < -kLowest;
}

bool hasNumbers(const Geometry& geometry, std::size_t count) {
    return geometry.numbers.size() == count;
}

}  // namespace

Geometry geometryFromAXValue(AXValueRef value) {
    switch (AXValueGetType(value)) {
        case kAXValueTypeCGPoint: {
            CGPoint point{};
            if (AXValueGetValue(value, kAXValueTypeCGPoint, &point)) {
                return {Geometry::Type::Point, {point.x, point.y}};
            }
            break;
        }
        case kAXValueTypeCGSize: {
            CGSize size{};
            if (AXValueGetValue(value, kAXValueTypeCGSize, &size)) {
                return {Geometry::Type::Size, {size.width, size.height}};
            }
            break;
        }
        case kAXValueTypeCGRect: {
            CGRect rect{};
            if (AXValueGetValue(value, kAXValueTypeCGRect, &rect)) {
                return {Geometry::Type::Rect,
                        {rect.origin.x, rect.origin.y, rect.size.width, rect.size.height}};
            }
            break;
        }
        case kAXValueTypeCFRange: {
            CFRange range{};
            if (AXValueGetValue(value, kAXValueTypeCFRange, &range)) {
                return {Geometry::Type::Range,
                        {static_cast<double>(range.location), static_cast<double>(range.length)}};
            }
            break;
        }
        default:
            break;
    }
    return {};
}

CFRef<AXValueRef> axValueFromGeometry(const Geometry& geometry) {
    const auto& n = geometry.numbers;
    switch (geometry.type) {
        case Geometry::Type::Point:
            if (hasNumbers(geometry, 2)) {
                const CGPoint point{n[0], n[1]};
                return CFRef<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCGPoint, &point));
            }
            break;
        case Geometry::Type::Size:
            if (hasNumbers(geometry, 2)) {
                const CGSize size{n[0], n[1]};
                return CFRef<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCGSize, &size));
            }
            break;
        case Geometry::Type::Rect:
            if (hasNumbers(geometry, 4)) {
                const CGRect rect{{n[0], n[1]}, {n[2], n[3]}};
                return CFRef<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCGRect, &rect));
            }
            break;
        case Geometry::Type::Range:
            if (hasNumbers(geometry, 2) && fitsIndex(n[0]) && fitsIndex(n[1])) {
                const CFRange range{static_cast<CFIndex>(n[0]), static_cast<CFIndex>(n[1])};
                return CFRef<AXValueRef>::adopt(AXValueCreate(kAXValueTypeCFRange, &range));
            }
            break;
        case Geometry::Type::Illegal:
            break;
    }
    return {};
}

}  // namespace fieldpilot::platform::mac
