#pragma once

// Carries the fields of a saved state in one of three directions: from the world into a run of
// bytes (saving), from the bytes back into the world (loading), or alongside the world, telling
// the first field whose value differs from the bytes (comparing). Whatever carries its state
// lists its fields once, in one function, so saving and loading cannot drift apart:
//
//   void Explosion::carryState(StateArchive& archive) {
//       CARRY_STATE(archive, timeLeft, done, force, damage);
//   }
//
// Values are copied bit for bit. Pointers to objects and components are carried as links: as
// they are when saving and loading, and by the object's id when comparing, so a bullet made
// again after a rollback (at another address) compares equal to the one it replaces.

#include "objects/activation_flag.hpp"
#include "objects/component.hpp"
#include "objects/game_object.hpp"
#include "objects/math_types.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

// A run of bytes that keeps its storage when it is emptied, so saving every frame into the same
// one allocates nothing once it is warm.
class StateBytes {
  public:
    void clear() { used = 0; }
    size_t size() const { return used; }
    const std::byte* data() const { return storage.data(); }
    // Room for count more bytes at the end; where they start.
    std::byte* extend(size_t count) {
        if (used + count > storage.size()) {
            storage.resize(std::max(storage.size() * 2, used + count + 256));
        }
        std::byte* at = storage.data() + used;
        used += count;
        return at;
    }

  private:
    std::vector<std::byte> storage;
    size_t used = 0;
};

// Where two states part: the field, as it was saved and as it is now.
struct StateMismatch {
    std::string field;
    std::string saved;
    std::string now;
};

class StateArchive {
  public:
    enum class Mode { Save, Load, Compare };

    // Saving appends to bytes; loading and comparing read them from position `from` on.
    StateArchive(Mode archiveMode, StateBytes& bytes, size_t from = 0)
        : mode(archiveMode), buffer(bytes), cursor(from) {}

    Mode direction() const { return mode; }
    bool loading() const { return mode == Mode::Load; }
    // Where the next field is read from (loading, comparing).
    size_t position() const { return cursor; }
    // Loading or comparing ran past the saved bytes: the state was saved from another world.
    bool overrun() const { return ranOut; }
    // The first field that differs (comparing), or none.
    const std::optional<StateMismatch>& mismatch() const { return firstMismatch; }

    // Plain values (numbers, flags, vectors, small records without pointers). names lists them
    // as the code does, separated by commas; it is read only to name a field that differs.
    template <class... T> void carry(const char* names, T&... fields) {
        int index = 0;
        (carryValue(names, index++, fields), ...);
    }

    // An on/off switch: loading sets it as a plain write would, so whoever follows flips hears.
    void carryFlag(const char* name, ActivationFlag& flag);

    // A pointer to an object or a component. Comparing reads no saved pointer's object (it may be
    // gone): with the saved state's ids (compareLinksBy) it compares ids, else the pointers.
    template <class T> void carryLink(const char* name, T*& link) {
        static_assert(std::is_base_of_v<Component, T> || std::is_same_v<T, GameObject>);
        if (mode != Mode::Compare || savedIds == nullptr) {
            carryValue(name, 0, link);
            return;
        }
        const std::byte* at = take(sizeof(T*));
        if (at == nullptr) {
            return;
        }
        const void* saved = nullptr;
        std::memcpy(&saved, at, sizeof saved);
        const uint32_t savedId = saved != nullptr ? savedIds->idOf(saved) : 0;
        const uint32_t nowId = linkId(link);
        if (savedId != nowId) {
            differ(name, 0, "object " + std::to_string(savedId), "object " + std::to_string(nowId));
        }
    }

    // A list of plain values: its length, then each.
    template <class T> void carryList(const char* name, std::vector<T>& list) {
        static_assert(std::is_trivially_copyable_v<T>);
        auto count = static_cast<uint32_t>(list.size());
        const bool sameLength = carryCount(name, count);
        if (mode == Mode::Load) {
            list.resize(count);
        }
        if (!sameLength) {
            return;
        }
        for (T& item : list) {
            carryValue(name, 0, item);
        }
    }

    // A count of records that follow; when comparing, false if the counts differ (the records
    // that follow are then skipped by the caller, and the count is the difference reported).
    bool carryCount(const char* name, uint32_t& count);

    // The ids of the objects a saved state's pointers named (of the object itself, or of the
    // component's owner), kept with the state; 0 for a pointer it does not know.
    struct LinkIds {
        virtual ~LinkIds() = default;
        virtual uint32_t idOf(const void* savedPointer) const = 0;
    };
    void compareLinksBy(const LinkIds* ids) { savedIds = ids; }

  private:
    template <class T> void carryValue(const char* names, int index, T& field) {
        static_assert(std::is_trivially_copyable_v<T>, "a saved field is copied bit for bit");
        if (mode == Mode::Save) {
            std::memcpy(buffer.extend(sizeof(T)), &field, sizeof(T));
            return;
        }
        const std::byte* at = take(sizeof(T));
        if (at == nullptr) {
            return;
        }
        if (mode == Mode::Load) {
            std::memcpy(&field, at, sizeof(T));
        } else if (std::memcmp(&field, at, sizeof(T)) != 0) {
            T saved;
            std::memcpy(&saved, at, sizeof(T));
            differ(names, index, describe(saved), describe(field));
        }
    }

    const std::byte* take(size_t count);
    void differ(const char* names, int index, std::string saved, std::string now);

    template <class T> static std::string describe(const T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            return value ? "true" : "false";
        } else if constexpr (std::is_floating_point_v<T>) {
            return describeNumber(static_cast<double>(value));
        } else if constexpr (std::is_integral_v<T>) {
            return std::to_string(value);
        } else if constexpr (std::is_enum_v<T>) {
            return std::to_string(static_cast<int64_t>(value));
        } else if constexpr (std::is_same_v<T, vec2>) {
            return "(" + describeNumber(value.x) + ", " + describeNumber(value.y) + ")";
        } else if constexpr (std::is_same_v<T, vec3>) {
            return "(" + describeNumber(value.x) + ", " + describeNumber(value.y) + ", " +
                   describeNumber(value.z) + ")";
        } else {
            return describeBytes(&value, sizeof(T));
        }
    }
    static std::string describeNumber(double value);
    static std::string describeBytes(const void* value, size_t size);

    static uint32_t linkId(const GameObject* object) { return object != nullptr ? object->id : 0; }
    static uint32_t linkId(const Component* component) {
        return component != nullptr && component->owner != nullptr ? component->owner->id : 0;
    }

    Mode mode;
    StateBytes& buffer;
    size_t cursor = 0;
    bool ranOut = false;
    std::optional<StateMismatch> firstMismatch;
    const LinkIds* savedIds = nullptr;
};

// Carries the listed fields, named as written.
#define CARRY_STATE(archive, ...) (archive).carry(#__VA_ARGS__, __VA_ARGS__)
