#pragma once
// The application's settings store. The desktop app backs it with its
// persistent settings; the command line uses the in-memory store, so nothing
// it does changes a user's saved choices.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>

class QVUserDefaults {
public:
    using Value = std::variant<bool, int64_t, double, std::string>;

    virtual ~QVUserDefaults() = default;

    virtual std::optional<Value> objectForKey(const std::string& key) const = 0;
    virtual void setObject(const std::string& key, Value value) = 0;
    virtual void removeObjectForKey(const std::string& key) = 0;
    /// Writes pending changes to lasting storage; true when that worked.
    virtual bool synchronize() { return true; }

    // Typed readers: whatever kind of value is stored, read as the type asks
    // (a string "2" reads as the integer 2, a number as its decimal text).
    bool boolForKey(const std::string& key) const;
    int64_t integerForKey(const std::string& key) const;
    double floatForKey(const std::string& key) const;
    /// None when nothing is stored.
    std::optional<std::string> stringForKey(const std::string& key) const;

    /// The process-wide store every settings reader uses (an in-memory one
    /// until the host installs its own).
    static QVUserDefaults& standardUserDefaults();
    static void setStandardUserDefaults(std::shared_ptr<QVUserDefaults> defaults);
};

/// A store that lives as long as the process.
class QVMemoryUserDefaults : public QVUserDefaults {
public:
    std::optional<Value> objectForKey(const std::string& key) const override;
    void setObject(const std::string& key, Value value) override;
    void removeObjectForKey(const std::string& key) override;

private:
    std::map<std::string, Value> values_;
};
