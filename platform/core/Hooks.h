#pragma once
// Replaceable hooks: services that need a person or a desktop are reached
// through a function object that tests, or the window layer, swap out.

#include <utility>

// Installs Hook in Slot (Default when Hook is empty); returns the hook it replaces.
template <typename THook, typename TDefault>
THook ReplaceHook(THook& Slot, THook Hook, TDefault Default) {
    THook previous = Slot;
    Slot = Hook ? std::move(Hook) : THook(Default);
    return previous;
}

// A hook with a default kept apart from the current one: the window layer sets
// the default once it exists, while a hook someone installed stays in force.
template <typename THook>
class TReplaceableHook {
public:
    explicit TReplaceableHook(THook Fallback)
        : FFallback(Fallback), FDefault(Fallback), FCurrent(std::move(Fallback)) {}

    const THook& Current() const { return FCurrent; }

    // Installs Hook (the default when empty); returns the hook it replaces.
    THook Replace(THook Hook) {
        THook previous = FCurrent;
        FUsingDefault = !Hook;
        FCurrent = Hook ? std::move(Hook) : FDefault;
        return previous;
    }

    // Replaces the default (the fallback when empty), and the current hook
    // unless one was installed through Replace.
    void SetDefault(THook Hook) {
        FDefault = Hook ? std::move(Hook) : FFallback;
        if (FUsingDefault) FCurrent = FDefault;
    }

private:
    THook FFallback;
    THook FDefault;
    THook FCurrent;
    bool FUsingDefault = true;
};
