// Our physics step against Box2D's on the same scene, in the same run: 20 static boxes (four
// rows of five platforms across the 48 x 30 arena) and N circles thrown among them, which
// bounce, pile up and touch each other. Box2D steps with one velocity and one position
// iteration and no continuous collision, the closest it comes to our single-pass step.
//
// Every 240 steps both scenes go back to their start, so every step of the cycle does the same
// work every time round; the fastest time seen for each step of the cycle filters out the
// moments the machine was busy elsewhere, and the mean of those is the figure reported. Box2D
// is linked by this benchmark only; the game never uses it.
#include "bench/cycle_timing.hpp"
#include "objects/game_object_list.hpp"
#include "physics/collider.hpp"
#include "physics/physics_step.hpp"
#include "physics/rigid_body.hpp"

#include <benchmark/benchmark.h>
#include <box2d/box2d.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr float kStep = 0.01666f;
constexpr int kStepsPerCycle = 240;
constexpr float kCircleRadius = 0.25f;
constexpr int kSizes[] = {10, 50, 200, 1000};

struct Throw {
    vec2 at;
    vec2 velocity;
};

std::vector<Throw> throwsFor(int circles) {
    SceneRandom random;
    std::vector<Throw> throws;
    for (int i = 0; i < circles; ++i) {
        throws.push_back({{random.next(-23.0f, 23.0f), random.next(-14.0f, 14.0f)},
                          {random.next(-15.0f, 15.0f), random.next(-5.0f, 15.0f)}});
    }
    return throws;
}

vec2 platformCentre(int row, int column) {
    return {-20.0f + 10.0f * static_cast<float>(column), -10.0f + 6.0f * static_cast<float>(row)};
}

using Clock = std::chrono::steady_clock;

class OurScene {
  public:
    explicit OurScene(int circles) : throws(throwsFor(circles)) {
        GameObjectList& list = GameObjectList::instance();
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 5; ++column) {
                vec2 c = platformCentre(row, column);
                GameObject* o = list.create("Platform");
                o->transform.setPosition(c.x, c.y, 0.0f);
                auto* body = o->addComponent<RigidBody2D>();
                body->inverseMass = 0.0f;
                body->inverseInertia = 0.0f;
                body->gravityScale = 0.0f;
                auto* box = o->addComponent<OBBCollider>();
                box->width = 6.0f;
                box->height = 1.0f;
            }
        }
        for (const Throw& t : throws) {
            GameObject* o = list.create("Ball");
            o->transform.setPosition(t.at.x, t.at.y, 0.0f);
            auto* body = o->addComponent<RigidBody2D>();
            body->restitution = 0.5f;
            auto* circle = o->addComponent<CircleCollider>();
            circle->radius = kCircleRadius;
            balls.push_back(body);
        }
        restart();
    }
    ~OurScene() { GameObjectList::instance().destroyAll(); }

    void restart() {
        for (size_t i = 0; i < balls.size(); ++i) {
            balls[i]->SetPosition(throws[i].at.x, throws[i].at.y);
            balls[i]->velocity = throws[i].velocity;
            balls[i]->angularVelocity = 0.0f;
        }
    }
    // The transforms as the engine's frame updates them (untimed), then the timed step.
    double step() {
        for (Transform* t : WorldRoot().transform.children) {
            t->updateWorld();
        }
        auto begin = Clock::now();
        PhysicsStep(kStep);
        return std::chrono::duration<double>(Clock::now() - begin).count();
    }

  private:
    std::vector<Throw> throws;
    std::vector<RigidBody2D*> balls;
};

class Box2DScene {
  public:
    explicit Box2DScene(int circles) : world(b2Vec2(0.0f, -9.8f)), throws(throwsFor(circles)) {
        world.SetContinuousPhysics(false);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 5; ++column) {
                vec2 c = platformCentre(row, column);
                b2BodyDef def;
                def.position.Set(c.x, c.y);
                b2Body* body = world.CreateBody(&def);
                b2PolygonShape box;
                box.SetAsBox(3.0f, 0.5f);
                body->CreateFixture(&box, 0.0f);
            }
        }
        for (const Throw& t : throws) {
            b2BodyDef def;
            def.type = b2_dynamicBody;
            def.position.Set(t.at.x, t.at.y);
            b2Body* body = world.CreateBody(&def);
            b2CircleShape circle;
            circle.m_radius = kCircleRadius;
            b2FixtureDef fixture;
            fixture.shape = &circle;
            fixture.density = 1.0f;
            fixture.restitution = 0.5f;
            body->CreateFixture(&fixture);
            balls.push_back(body);
        }
        restart();
    }
    void restart() {
        for (size_t i = 0; i < balls.size(); ++i) {
            balls[i]->SetTransform(b2Vec2(throws[i].at.x, throws[i].at.y), 0.0f);
            balls[i]->SetLinearVelocity(b2Vec2(throws[i].velocity.x, throws[i].velocity.y));
            balls[i]->SetAngularVelocity(0.0f);
            balls[i]->SetAwake(true);
        }
    }
    double step() {
        auto begin = Clock::now();
        world.Step(kStep, 1, 1);
        return std::chrono::duration<double>(Clock::now() - begin).count();
    }

  private:
    b2World world;
    std::vector<Throw> throws;
    std::vector<b2Body*> balls;
};

std::map<std::pair<int, int>, CycleTimes>& fastest() {
    static std::map<std::pair<int, int>, CycleTimes> times;
    return times;
}

// range(0): the number of circles; range(1): 0 for ours, 1 for Box2D.
void BM_Step(benchmark::State& state) {
    const int circles = static_cast<int>(state.range(0));
    const bool box2d = state.range(1) != 0;
    std::unique_ptr<OurScene> ours;
    std::unique_ptr<Box2DScene> theirs;
    if (box2d) {
        theirs = std::make_unique<Box2DScene>(circles);
    } else {
        ours = std::make_unique<OurScene>(circles);
    }
    CycleTimes& best = fastest()[{circles, box2d ? 1 : 0}];
    best.resize(kStepsPerCycle);
    int steps = 0;
    for (auto _ : state) {
        if (steps % kStepsPerCycle == 0) {
            box2d ? theirs->restart() : ours->restart();
        }
        double seconds = box2d ? theirs->step() : ours->step();
        best.record(static_cast<size_t>(steps % kStepsPerCycle), seconds);
        state.SetIterationTime(seconds);
        ++steps;
    }
    state.counters["ms_per_step"] = best.meanSeconds() * 1e3;
}
BENCHMARK(BM_Step)
    ->ArgNames({"circles", "box2d"})
    ->ArgsProduct({{10, 50, 200, 1000}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3 * kStepsPerCycle)
    ->Repetitions(3);

} // namespace

int main(int argc, char** argv) {
    if (!RunBenchmarks(argc, argv)) {
        return 1;
    }
    // The goal: our step no dearer than Box2D's at every size.
    for (int circles : kSizes) {
        auto ours = fastest().find({circles, 0});
        auto theirs = fastest().find({circles, 1});
        if (ours == fastest().end() || theirs == fastest().end()) {
            continue;
        }
        double oursMs = ours->second.meanSeconds() * 1e3;
        double theirsMs = theirs->second.meanSeconds() * 1e3;
        std::printf("physics step, 20 boxes + %4d circles: ours %.4f ms, Box2D %.4f ms, ratio %.2f\n", circles,
                    oursMs, theirsMs, oursMs / theirsMs);
    }
    return 0;
}
