#pragma once
// One setting of the program: a named value held as text. Setters only store; whoever sets an option
// applies the change itself.

#include <cstdint>
#include <string>
#include <string_view>

#include "options/OptionText.h"

class OptionRegistry;

class Option {
public:
    enum Flags : uint32_t {
        kDeferred = 0x1,    // a set goes to `pending` until the next save commits it
        kTransient = 0x2,   // never written to config.json
        kRunTime = 0x4,     // created while running, owned by the registry
        kPending = 0x10000  // `pending` holds a value not yet committed
    };

    // Registrations of the catalogue: each registers itself under its key (replacing an entry of the same
    // key), sets its default through the setter of its kind and commits it at once.
    Option(const char* key, int defaultValue, uint32_t flags, OptionRegistry* registry = nullptr);
    Option(const char* key, const char* defaultText, uint32_t flags, OptionRegistry* registry = nullptr);
    Option(const char* key, int x, int y, uint32_t flags, OptionRegistry* registry = nullptr);
    Option(const char* key, float r, float g, float b, float a, uint32_t flags,
           OptionRegistry* registry = nullptr);

    Option(const Option&) = delete;
    Option& operator=(const Option&) = delete;

    void SetText(std::string_view text);
    void SetInt(int v);
    void SetBool(bool v);
    void SetPair(int x, int y);
    void SetColor(float r, float g, float b, float a);

    // Moves a pending value of a deferred option into `value`.
    void Commit();

    const std::string& Text() const { return value; }
    int Int() const { return options::ParseInt(value); }
    bool Bool() const { return options::ParseBool(value); }
    std::pair<int, int> Pair() const { return options::ParsePair(value); }
    options::Color Color() const { return options::ParseColor(value); }

    uint32_t flags = 0;
    std::string key;
    std::string value;
    std::string pending;
    std::string defaultValue;  // what the registration set; for tests that need the catalogue fresh

private:
    friend class OptionRegistry;
    Option(std::string key, uint32_t flags);  // run-time records
    void Register(OptionRegistry* registry);
};
