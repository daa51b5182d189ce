#include "engine/physics_debug_view.hpp"
#include "graphics/camera.hpp"
#include "tests/physics/physics_scene.hpp"

#include <gtest/gtest.h>
#include <imgui.h>

// The physics view draws in window pixels (origin top left) over the letterboxed picture.
TEST(PhysicsDebugView, MapsTheCameraViewOntoTheLetterboxedPicture) {
    Camera camera; // 48 x 30 units around the origin
    // A 1280 x 1000 window: the 1280 x 800 picture sits 100 pixels up from the bottom.
    ViewRect viewport{0.0f, 100.0f, 1280.0f, 800.0f, 1000.0f};
    auto expectPixel = [&](vec2 world, float x, float y) {
        vec2 p = WorldToWindow(camera, viewport, world);
        EXPECT_NEAR(p.x, x, 1e-3f) << world.x << ", " << world.y;
        EXPECT_NEAR(p.y, y, 1e-3f) << world.x << ", " << world.y;
    };
    expectPixel({0.0f, 0.0f}, 640.0f, 500.0f);
    expectPixel({-24.0f, 15.0f}, 0.0f, 100.0f);
    expectPixel({24.0f, -15.0f}, 1280.0f, 900.0f);

    // The view follows the camera when it moves or zooms.
    camera.position = {12.0f, 0.0f, 0.0f};
    camera.zoom = 15.0f;
    camera.Recompute();
    expectPixel({12.0f, 0.0f}, 640.0f, 500.0f);
    expectPixel({24.0f, 7.5f}, 1280.0f, 100.0f);
}

namespace {

// An ImGui frame without window or GPU: enough to collect what a view draws.
class ImGuiFrame {
  public:
    ImGuiFrame() {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(1280.0f, 800.0f);
        unsigned char* pixels = nullptr;
        int width = 0;
        int height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
        ImGui::NewFrame();
    }
    ~ImGuiFrame() {
        ImGui::EndFrame();
        ImGui::DestroyContext();
    }
    ImGuiFrame(const ImGuiFrame&) = delete;
    ImGuiFrame& operator=(const ImGuiFrame&) = delete;

    // Vertices drawn by f alone.
    int verticesDrawnBy(const PhysicsViewFrame& f) const {
        ImDrawList* list = ImGui::GetBackgroundDrawList();
        int before = list->VtxBuffer.Size;
        DrawPhysicsView(f);
        return list->VtxBuffer.Size - before;
    }
};

} // namespace

TEST(PhysicsDebugView, OutlinesCollidersInPlayAndMarksContacts) {
    using namespace physics_test;
    ImGuiFrame imgui;
    Camera camera;
    PhysicsViewFrame view{false, &camera, {0.0f, 0.0f, 1280.0f, 800.0f, 800.0f}};
    EXPECT_EQ(imgui.verticesDrawnBy(view), 0);

    Ball ball = makeBall({0.0f, 0.9f}, 0.5f);
    setActive(ball.object, false);
    GameObjectList::instance().create("Loose")->addComponent<CircleCollider>(); // no body
    updateTransforms();
    int bodiless = imgui.verticesDrawnBy(view);
    EXPECT_GT(bodiless, 0) << "a collider without a body is still outlined";

    setActive(ball.object, true);
    updateTransforms();
    int circles = imgui.verticesDrawnBy(view);
    EXPECT_GT(circles, bodiless) << "switched-off colliders are not drawn, switched-on ones are";

    makePlatform({0.0f, 0.0f}, {4.0f, 1.0f});
    frame();
    ASSERT_FALSE(CollisionWorld::instance().manifolds.empty());
    EXPECT_GT(imgui.verticesDrawnBy(view), circles) << "the box and the contact are added";

    view.camera = nullptr;
    EXPECT_EQ(imgui.verticesDrawnBy(view), 0) << "nothing to draw through without a camera";
}
