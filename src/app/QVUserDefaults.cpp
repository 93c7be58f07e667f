#include "app/QVUserDefaults.h"


#include <charconv>
#include <cmath>

namespace {

std::shared_ptr<QVUserDefaults>& standardSlot() {
    static std::shared_ptr<QVUserDefaults> slot = std::make_shared<QVMemoryUserDefaults>();
    return slot;
}

// Leading blanks, an optional sign, then digits up to the first other
// character; no digits read as 0.
template <class Number>
Number leadingNumber(const std::string& s) {
    size_t i = s.find_first_not_of(" \t\n\r");
    if (i == std::string::npos)
        return 0;
    if (s[i] == '+')
        ++i;
    Number v = 0;
    auto r = std::from_chars(s.data() + i, s.data() + s.size(), v);
    return r.ec == std::errc() ? v : 0;
}

} // namespace

QVUserDefaults& QVUserDefaults::standardUserDefaults() { return *standardSlot(); }

void QVUserDefaults::setStandardUserDefaults(std::shared_ptr<QVUserDefaults> defaults) {
    standardSlot() = defaults ? std::move(defaults) : std::make_shared<QVMemoryUserDefaults>();
}

bool QVUserDefaults::boolForKey(const std::string& key) const {
    auto v = objectForKey(key);
    if (!v)
        return false;
    if (auto* b = std::get_if<bool>(&*v))
        return *b;
    if (auto* i = std::get_if<int64_t>(&*v))
        return *i != 0;
    if (auto* d = std::get_if<double>(&*v))
        return *d != 0;
    const std::string& s = std::get<std::string>(*v);
    if (s == "YES" || s == "yes" || s == "true" || s == "TRUE")
        return true;
    return leadingNumber<int64_t>(s) != 0;
}

int64_t QVUserDefaults::integerForKey(const std::string& key) const {
    auto v = objectForKey(key);
    if (!v)
        return 0;
    if (auto* b = std::get_if<bool>(&*v))
        return *b ? 1 : 0;
    if (auto* i = std::get_if<int64_t>(&*v))
        return *i;
    if (auto* d = std::get_if<double>(&*v))
        return std::isfinite(*d) && std::fabs(*d) < 9.2e18 ? static_cast<int64_t>(*d) : 0;
    return leadingNumber<int64_t>(std::get<std::string>(*v));
}

double QVUserDefaults::floatForKey(const std::string& key) const {
    auto v = objectForKey(key);
    if (!v)
        return 0;
    if (auto* b = std::get_if<bool>(&*v))
        return *b ? 1 : 0;
    if (auto* i = std::get_if<int64_t>(&*v))
        return static_cast<double>(*i);
    if (auto* d = std::get_if<double>(&*v))
        return *d;
    return leadingNumber<double>(std::get<std::string>(*v));
}

std::optional<std::string> QVUserDefaults::stringForKey(const std::string& key) const {
    auto v = objectForKey(key);
    if (!v)
        return std::nullopt;
    if (auto* s = std::get_if<std::string>(&*v))
        return *s;
    if (auto* b = std::get_if<bool>(&*v))
        return std::string(*b ? "1" : "0");
    if (auto* i = std::get_if<int64_t>(&*v))
        return std::to_string(*i);
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, std::get<double>(*v));
    return std::string(buf, r.ptr);
}

std::optional<QVUserDefaults::Value> QVMemoryUserDefaults::objectForKey(const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

void QVMemoryUserDefaults::setObject(const std::string& key, Value value) {
    values_[key] = std::move(value);
}

void QVMemoryUserDefaults::removeObjectForKey(const std::string& key) { values_.erase(key); }
