#pragma once

// Registries (logics, bodies, colliders, renderers) list their members in creation order, and
// a member leaves its list when it is destroyed. Leaving one by one costs a search and a shift
// of the list each, which over a state's teardown of thousands of objects grows with the square
// of their number. Two remedies, both leaving the lists exactly as one-by-one removal would:
// - a teardown destroys objects newest first, so a member listed once is found at the back
//   (UnlistFromBack);
// - during a teardown, lists whose members leave with every occurrence gather the leavers and
//   drop them all in one pass at its end (RegistryTeardown).

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

// Removes the member from the list, searching from the back; where it stood, or nullopt when it
// was not listed. For lists whose members are listed once each.
template <class T, class U> std::optional<size_t> UnlistFromBack(std::vector<T*>& list, const U* member) {
    for (size_t i = list.size(); i-- > 0;) {
        if (list[i] == member) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            return i;
        }
    }
    return std::nullopt;
}

class RegistryTeardown {
  public:
    // While a scope lives, leaving members are gathered; when it ends they are dropped.
    class Scope {
      public:
        Scope();
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

    static bool running();
    // Whether a member has left during the teardown; asked by the actions at its end.
    static bool gone(const void* member);
    // Notes that the member leaves; at the end every occurrence is dropped from the list,
    // the order of the rest kept.
    template <class T> static void leave(std::vector<T*>& list, const T* member) {
        gather(member);
        whenDone(&list, [&list] { std::erase_if(list, [](const T* m) { return gone(m); }); });
    }
    // Runs once at the end of the teardown, before the lists are compacted (once per key).
    static void whenDone(const void* key, std::function<void()> action);

  private:
    static void gather(const void* member);
};
