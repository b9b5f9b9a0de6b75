// sway's window tree as the wlroots window system reads it.
#include <gtest/gtest.h>

#include "platform/linux/wayland/wlroots/sway_tree.h"

namespace fieldpilot::platform::live {
namespace {

// A workspace (focused, but no window) holding a tiled native window and a floating XWayland
// window of the same process, as get_tree nests them.
const nlohmann::json kTree = nlohmann::json::parse(R"({
  "id": 1, "type": "root", "nodes": [{
    "id": 3, "type": "workspace", "focused": true, "nodes": [
      {"id": 7, "pid": 40, "app_id": "org.example.Notes", "name": "Notes", "visible": true,
       "focused": false, "rect": {"x": 0, "y": 27, "width": 640, "height": 773}}],
    "floating_nodes": [
      {"id": 12, "pid": 40, "app_id": null, "window": 4194307, "name": "xterm",
       "window_properties": {"class": "XTerm"}, "visible": true, "focused": true,
       "rect": {"x": 100, "y": 120, "width": 300, "height": 200}}]}]})");

TEST(SwayTree, XWaylandWindowsAreFoundByTheirXWindowIdAsWellAsTheIpcId) {
    const auto windows = swayWindows(kTree);
    ASSERT_EQ(windows.size(), 2u);
    const auto byXId = windowWithId(windows, 4194307);
    ASSERT_TRUE(byXId);
    EXPECT_EQ(byXId->id, 12);
    EXPECT_EQ(byXId->windowClass, "XTerm");
    EXPECT_TRUE(byXId->floating);
    EXPECT_EQ(windowWithId(windows, 7)->appId, "org.example.Notes");
    EXPECT_FALSE(windowWithId(windows, 3)) << "a workspace is not a window";
}

TEST(SwayTree, AProcessIsRepresentedByItsFocusedWindow) {
    const auto window = windowOfProcess(swayWindows(kTree), 40);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->id, 12);
    EXPECT_EQ(window->rect.x, 100);
    EXPECT_EQ(window->rect.height, 200);
    EXPECT_FALSE(windowOfProcess(swayWindows(kTree), 41));
}

}  // namespace
}  // namespace fieldpilot::platform::live
