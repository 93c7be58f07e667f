#pragma once
// Reading XML property lists (resource bundles' .plist files): a tree of
// dictionaries, arrays and scalar values. Binary property lists are not read.

#include <optional>
#include <string>
#include <vector>

namespace platform {

class PropertyListValue {
public:
    enum class Type { String, Integer, Real, Boolean, Date, Data, Array, Dictionary };

    Type type = Type::String;
    /// The text of a string, date or data (base64) value; the number's text otherwise.
    std::string text;
    long long integer = 0;
    double real = 0;
    bool boolean = false;
    /// Array elements, or dictionary values in file order (keys in `keys`).
    std::vector<PropertyListValue> values;
    std::vector<std::string> keys;

    /// The first value stored under `key` of a dictionary; none otherwise.
    const PropertyListValue* find(const std::string& key) const;
    /// The string stored under `key`; none when missing or not a string.
    std::optional<std::string> stringForKey(const std::string& key) const;
};

/// The root value of an XML property list; none when the file is missing,
/// not well-formed, or not a property list.
std::optional<PropertyListValue> readPropertyList(const std::string& path);

} // namespace platform
