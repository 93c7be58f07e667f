#pragma once
// A PDF object of an open document: typed, read-only access that answers
// "none" (an empty optional or a null object) instead of throwing or warning.
// Indirect references are followed on access. Objects are only valid while
// their document is open. Names are given without their leading slash.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class PdfObjectType { Null, Boolean, Integer, Real, Name, String, Array, Dictionary, Stream };

/// (object number, generation); 0/0 for direct objects.
struct PdfObjectId {
    int number = 0;
    int generation = 0;
    bool isIndirect() const { return number != 0; }
    bool operator==(const PdfObjectId&) const = default;
    uint64_t key() const { return (uint64_t(uint32_t(number)) << 32) | uint32_t(generation); }
};

/// Decoded data of a stream whose last filter is an image codec (DCT or JPX)
/// that is deliberately left undone.
struct PdfImageStreamData {
    std::string bytes;
    std::string remainingFilter; // "DCTDecode", "JPXDecode" or empty (fully decoded)
};

class PdfObject {
public:
    PdfObject();
    ~PdfObject();
    PdfObject(const PdfObject&);
    PdfObject(PdfObject&&) noexcept;
    PdfObject& operator=(const PdfObject&);
    PdfObject& operator=(PdfObject&&) noexcept;

    // Direct objects made by code (content-stream operands, defaults).
    static PdfObject makeNull();
    static PdfObject makeBoolean(bool v);
    static PdfObject makeInteger(long long v);
    static PdfObject makeReal(double v);
    static PdfObject makeName(const std::string& nameWithoutSlash);
    static PdfObject makeString(const std::string& bytes);

    PdfObjectType type() const;
    bool isNull() const { return type() == PdfObjectType::Null; }
    bool isNumber() const;
    bool isName() const { return type() == PdfObjectType::Name; }
    bool isString() const { return type() == PdfObjectType::String; }
    bool isArray() const { return type() == PdfObjectType::Array; }
    bool isDictionary() const { return type() == PdfObjectType::Dictionary; }
    bool isStream() const { return type() == PdfObjectType::Stream; }
    PdfObjectId objectId() const;

    // Scalar values: none when the object is of another type.
    std::optional<bool> boolean() const;
    std::optional<long long> integer() const;
    /// Integer or real, as a double.
    std::optional<double> number() const;
    std::optional<std::string> name() const;
    /// The string's bytes, escapes and hex decoded.
    std::optional<std::string> string() const;

    // Arrays.
    size_t arraySize() const;
    /// Null object when out of range or not an array.
    PdfObject at(size_t index) const;
    std::optional<double> numberAt(size_t index) const { return at(index).number(); }
    std::optional<long long> integerAt(size_t index) const { return at(index).integer(); }
    std::optional<std::string> nameAt(size_t index) const { return at(index).name(); }

    // Dictionaries; a stream answers for its dictionary.
    bool hasKey(const std::string& key) const;
    PdfObject get(const std::string& key) const;
    std::vector<std::string> keys() const;
    std::optional<PdfObject> getDictionary(const std::string& key) const;
    std::optional<PdfObject> getArray(const std::string& key) const;
    std::optional<PdfObject> getStream(const std::string& key) const;
    std::optional<std::string> getName(const std::string& key) const { return get(key).name(); }
    std::optional<std::string> getString(const std::string& key) const {
        return get(key).string();
    }
    std::optional<double> getNumber(const std::string& key) const { return get(key).number(); }
    std::optional<long long> getInteger(const std::string& key) const {
        return get(key).integer();
    }
    std::optional<bool> getBoolean(const std::string& key) const { return get(key).boolean(); }
    /// Calls `fn(key, value)` for each entry, in key order.
    void forEachEntry(const std::function<void(const std::string&, const PdfObject&)>& fn) const;

    // Streams.
    /// The stream's dictionary (null object when not a stream).
    PdfObject streamDictionary() const;
    /// Decoded streams longer than this are refused: no font program, map,
    /// function or profile comes near it, and a few compressed bytes can ask
    /// for gigabytes.
    static constexpr uint64_t kMaxDecodedStreamBytes = uint64_t(256) << 20;
    /// Data with every filter undone (what a damaged filter decodes before
    /// the damage); none when it cannot be decoded or decodes to more than
    /// kMaxDecodedStreamBytes.
    std::optional<std::string> streamData() const;
    /// The same with a limit of the caller's; `exceeded` (when given) tells a
    /// refusal for length from one for damage.
    std::optional<std::string> streamData(uint64_t maxBytes, bool* exceeded) const;
    /// Data with the generic filters undone and a final DCT/JPX filter kept.
    std::optional<PdfImageStreamData> imageStreamData() const;

    /// True when both refer to the same underlying object.
    bool isSameObject(const PdfObject& other) const;

private:
    friend struct PdfObjectAccess;
    alignas(8) unsigned char storage_[16];
};

} // namespace platform
