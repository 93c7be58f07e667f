#include "platform/PropertyList.h"

#include "platform/NumberFormat.h"

#include <pugixml.hpp>

#include <cstring>

namespace platform {

namespace {

// Deeper nesting than any resource of ours is taken as a damaged file.
constexpr int kMaxDepth = 64;

std::optional<PropertyListValue> readValue(const pugi::xml_node& node, int depth) {
    if (depth > kMaxDepth || node.type() != pugi::node_element)
        return std::nullopt;
    PropertyListValue v;
    const char* name = node.name();
    if (std::strcmp(name, "string") == 0) {
        v.type = PropertyListValue::Type::String;
        v.text = node.child_value();
    } else if (std::strcmp(name, "integer") == 0) {
        v.type = PropertyListValue::Type::Integer;
        v.text = node.child_value();
        auto n = parseInteger(v.text);
        if (!n)
            return std::nullopt;
        v.integer = *n;
        v.real = static_cast<double>(*n);
    } else if (std::strcmp(name, "real") == 0) {
        v.type = PropertyListValue::Type::Real;
        v.text = node.child_value();
        auto n = parseDouble(v.text);
        if (!n)
            return std::nullopt;
        v.real = *n;
    } else if (std::strcmp(name, "true") == 0 || std::strcmp(name, "false") == 0) {
        v.type = PropertyListValue::Type::Boolean;
        v.boolean = name[0] == 't';
    } else if (std::strcmp(name, "date") == 0) {
        v.type = PropertyListValue::Type::Date;
        v.text = node.child_value();
    } else if (std::strcmp(name, "data") == 0) {
        v.type = PropertyListValue::Type::Data;
        v.text = node.child_value();
    } else if (std::strcmp(name, "array") == 0) {
        v.type = PropertyListValue::Type::Array;
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            auto element = readValue(child, depth + 1);
            if (!element)
                return std::nullopt;
            v.values.push_back(std::move(*element));
        }
    } else if (std::strcmp(name, "dict") == 0) {
        v.type = PropertyListValue::Type::Dictionary;
        std::optional<std::string> key;
        for (pugi::xml_node child : node.children()) {
            if (child.type() != pugi::node_element)
                continue;
            if (std::strcmp(child.name(), "key") == 0) {
                if (key)
                    return std::nullopt;
                key = child.child_value();
                continue;
            }
            if (!key)
                return std::nullopt;
            auto value = readValue(child, depth + 1);
            if (!value)
                return std::nullopt;
            v.keys.push_back(std::move(*key));
            v.values.push_back(std::move(*value));
            key.reset();
        }
        if (key)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return v;
}

} // namespace

const PropertyListValue* PropertyListValue::find(const std::string& key) const {
    if (type != Type::Dictionary)
        return nullptr;
    for (size_t i = 0; i < keys.size() && i < values.size(); ++i)
        if (keys[i] == key)
            return &values[i];
    return nullptr;
}

std::optional<std::string> PropertyListValue::stringForKey(const std::string& key) const {
    const PropertyListValue* v = find(key);
    if (!v || v->type != Type::String)
        return std::nullopt;
    return v->text;
}

std::optional<PropertyListValue> readPropertyList(const std::string& path) {
    pugi::xml_document doc;
    // A string of only blanks keeps them.
    if (!doc.load_file(path.c_str(), pugi::parse_default | pugi::parse_ws_pcdata_single))
        return std::nullopt;
    pugi::xml_node root = doc.document_element();
    if (std::strcmp(root.name(), "plist") != 0)
        return std::nullopt;
    for (pugi::xml_node child : root.children())
        if (child.type() == pugi::node_element)
            return readValue(child, 0);
    return std::nullopt;
}

} // namespace platform
