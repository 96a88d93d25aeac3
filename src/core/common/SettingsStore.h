#pragma once
// The per-user settings store: keys (paths such as
// "\Software\Helmridge\Ambrolux\Settings") holding named text and integer values.
// The desktop keeps it in an INI file through QSettings; tests and the
// command-line tool use the in-memory store below.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace amx {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // False when the key cannot be opened (or, with create, created).
    virtual bool OpenKey(const std::string& key, bool create) = 0;
    virtual std::optional<std::string> ReadString(const std::string& key, const std::string& name) = 0;
    virtual std::optional<long long> ReadInteger(const std::string& key, const std::string& name) = 0;
    virtual bool WriteString(const std::string& key, const std::string& name, const std::string& value) = 0;
    virtual bool WriteInteger(const std::string& key, const std::string& name, long long value) = 0;
    // Held while a list of values is read, changed and written back, so that
    // another running copy of the program waits instead of writing its own
    // older copy of the list over this one. Null when the store needs none.
    virtual std::shared_ptr<void> LockForUpdate() { return nullptr; }
};

class MemorySettingsStore : public SettingsStore {
public:
    // Set to simulate a store that cannot be opened or written.
    bool available = true;

    bool OpenKey(const std::string& key, bool create) override {
        if (!available) return false;
        if (keys_.count(key)) return true;
        if (!create) return false;
        keys_[key];
        return true;
    }
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) override {
        auto v = Find(key, name);
        if (!v) return std::nullopt;
        return v->index() == 0 ? std::get<0>(*v) : std::to_string(std::get<1>(*v));
    }
    std::optional<long long> ReadInteger(const std::string& key, const std::string& name) override {
        auto v = Find(key, name);
        if (!v || v->index() != 1) return std::nullopt;
        return std::get<1>(*v);
    }
    bool WriteString(const std::string& key, const std::string& name, const std::string& value) override {
        if (!available) return false;
        keys_[key][name] = value;
        return true;
    }
    bool WriteInteger(const std::string& key, const std::string& name, long long value) override {
        if (!available) return false;
        keys_[key][name] = value;
        return true;
    }

private:
    using Value = std::variant<std::string, long long>;
    std::optional<Value> Find(const std::string& key, const std::string& name) const {
        if (!available) return std::nullopt;
        auto k = keys_.find(key);
        if (k == keys_.end()) return std::nullopt;
        auto v = k->second.find(name);
        if (v == k->second.end()) return std::nullopt;
        return v->second;
    }
    std::map<std::string, std::map<std::string, Value>> keys_;
};

}  // namespace amx
