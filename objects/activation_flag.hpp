#pragma once

// An on/off flag that reads and writes like a bool but reports every real flip to whoever keeps
// compact lists of what is in play (the physics world), however the flag is written: through a
// setter or as a plain field.
class ActivationFlag {
  public:
    using Notify = void (*)(void* holder);

    ActivationFlag(bool initial, void* flagHolder, Notify onFlip)
        : value(initial), holder(flagHolder), notify(onFlip) {}
    ActivationFlag(const ActivationFlag&) = delete;
    ActivationFlag& operator=(const ActivationFlag&) = delete;

    operator bool() const noexcept { return value; }
    ActivationFlag& operator=(bool newValue) {
        if (newValue != value) {
            value = newValue;
            notify(holder);
        }
        return *this;
    }

  private:
    bool value;
    void* holder;
    Notify notify;
};
